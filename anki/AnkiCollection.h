#pragma once

// The collection inside an Anki package, in the legacy layout every Anki
// imports (SQLite, schema 11): the "Lexbay 句子" note type with its listening
// and reading cards, the "Lexbay 视频句子" note type of video lessons (the same
// fields and cards, and the sentence's picture), one deck per volume under
// "Lexbay::", and the notes.

#include <QList>
#include <QString>
#include <QStringList>

// The note types' fields, in order; a video lesson's note has its picture
// after them.
enum AnkiField { FieldEnglish, FieldChinese, FieldAudio, FieldLesson, FieldSentenceNumber, kAnkiFieldCount };
constexpr int FieldPicture = kAnkiFieldCount;

struct AnkiNote {
    QString guid;        // stable per sentence: importing again updates the note
    QString volume;      // its deck is Lexbay::<volume>
    QStringList fields;  // kAnkiFieldCount texts (one more with a picture), HTML as Anki shows them
    bool picture = false;  // of the video lessons' note type
};

// Writes a new collection file at `path` (which must not exist yet). Returns
// what failed, empty on success.
QString writeAnkiCollection(const QString& path, const QList<AnkiNote>& notes);
