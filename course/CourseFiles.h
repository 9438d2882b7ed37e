#pragma once

// The files of a volume folder: the lesson text and the word list by their
// names, and any course file found by name.

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

inline constexpr char kLessonText[] = "lesson.txt";
inline constexpr char kWordList[] = "words.txt";

// The file `fileName` of `folder`. Course folders copied from other systems
// carry names such as TLX1001.MP3: when the exact name is missing, an entry
// whose name differs from it only in letter case stands for it. The exact
// name's path when neither is there (so a message can name it); empty for
// no folder.
QString courseFile(const QString& folder, const QString& fileName);

// A course file's lines without their line ends (the empty ones at its end
// dropped), and lines joined as the course writes them, each ended by CR LF.
QList<QByteArray> courseLines(const QByteArray& bytes);
QByteArray joinedCourseLines(const QList<QByteArray>& lines);
// Section k of a course file's lines (lesson.txt, words.txt): from its `$`
// header to the next one, [first, end); -1, -1 when there is no section k.
// The lines before the first header count as no section.
std::pair<int, int> courseSection(const QList<QByteArray>& lines, int k);
