#pragma once

// The collection inside an Anki package, in the legacy layout every Anki
// imports (SQLite, schema 11): the "Lexbay 句子" note type with its listening
// and reading cards, the "Lexbay 视频句子" note type of video lessons (the same
// fields and cards, and the sentence's picture), the word book's "Lexbay 单词"
// and "Lexbay 视频单词" with one card each (the word in its sentence, heard;
// its meaning on the answer), one deck per volume under "Lexbay::" (the word
// book's "Lexbay::生词本"), and the notes.

#include <QList>
#include <QString>
#include <QStringList>

// The note types' fields, in order; a video lesson's note has its picture
// after them.
enum AnkiField { FieldEnglish, FieldChinese, FieldAudio, FieldLesson, FieldSentenceNumber, kAnkiFieldCount };
constexpr int FieldPicture = kAnkiFieldCount;
// A word note's fields; a video lesson's has its picture after them.
enum AnkiWordField {
    WordFieldWord,
    WordFieldPhonetic,
    WordFieldMeaning,
    WordFieldSentence,
    WordFieldChinese,
    WordFieldAudio,
    WordFieldLesson,
    kAnkiWordFieldCount
};

struct AnkiNote {
    QString guid;          // stable per sentence: importing again updates the note
    QString volume;        // its deck is Lexbay::<volume>
    QStringList fields;    // kAnkiFieldCount texts (one more with a picture), HTML as Anki shows them
    bool picture = false;  // of the video lessons' note type
    bool word = false;     // of the word book's note types
};

// Writes a new collection file at `path` (which must not exist yet). Returns
// what failed, empty on success.
QString writeAnkiCollection(const QString& path, const QList<AnkiNote>& notes);
