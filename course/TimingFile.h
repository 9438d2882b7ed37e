#pragma once

// A lesson's timing file (.lrc): one line per sentence, the sentence's start
// in fixed columns "[mm:ss.hh]" followed by its text, in the course's
// encoding. Read through the course-data library, as the page's sound icons
// are; written and edited here, so nothing else knows the columns.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

class CourseLibrary;

namespace timingfile {

// Two minute digits: a start must lie before 100 minutes.
constexpr double kLongestRecording = 100 * 60;

// The starts of the file's first `sentenceCount` lines, as the library reads
// them, with room for two more values after them (0 where a line is
// missing); the number of lines the library read.
int readStarts(CourseLibrary& library, const QString& path, int sentenceCount, std::vector<double>* starts);

// "[mm:ss.hh]" for `seconds`, rounded to the hundredth, negatives as 0.
QByteArray stamp(double seconds);
// A line starting at `seconds` with `text` after its stamp.
QByteArray line(double seconds, const QByteArray& text);
// The start a line's stamp gives, by the library's own rule; none for a line
// too short to hold a whole stamp.
std::optional<double> startOf(const QByteArray& line);

// Moves sentence `sentence`'s start by `delta` seconds, kept 0.01 s after
// the start before it and 0.01 s before the next one (or the recording's
// end), rounded to the hundredth; the text after the stamp stays. The start
// it now has, or none when the file has no such line.
std::optional<double> moveStart(QList<QByteArray>* lines, int sentence, double delta, double recordingSeconds);

}  // namespace timingfile
