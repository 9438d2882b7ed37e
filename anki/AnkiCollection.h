#pragma once

// The collection inside an Anki package, in the legacy layout every Anki
// imports (SQLite, schema 11): the "Lexbay 句子" note type with its listening
// and reading cards, one deck per volume under "Lexbay::", and the notes.

#include <QList>
#include <QString>
#include <QStringList>

// The note type's fields, in order.
enum AnkiField { FieldEnglish, FieldChinese, FieldAudio, FieldLesson, FieldSentenceNumber, kAnkiFieldCount };

struct AnkiNote {
    QString guid;        // stable per sentence: importing again updates the note
    QString volume;      // its deck is Lexbay::<volume>
    QStringList fields;  // kAnkiFieldCount texts, HTML as Anki shows them
};

// Writes a new collection file at `path` (which must not exist yet). Returns
// what failed, empty on success.
QString writeAnkiCollection(const QString& path, const QList<AnkiNote>& notes);
