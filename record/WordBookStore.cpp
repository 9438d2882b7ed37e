#include "record/WordBookStore.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// An empty text as text: Qt binds a null string as SQL NULL.
QVariant text(const QString& s) { return s.isNull() ? QVariant(QString("")) : QVariant(s); }

}  // namespace

const QStringList& WordBookStore::tableStatements()
{
    static const QStringList statements = {
        "CREATE TABLE word_book (word TEXT PRIMARY KEY, forms TEXT NOT NULL, added_at INTEGER NOT NULL)",
        "CREATE TABLE word_meetings (word TEXT NOT NULL REFERENCES word_book (word),"
        " sentence_id INTEGER NOT NULL REFERENCES sentences (id), form TEXT NOT NULL,"
        " clip_start REAL NOT NULL, clip_end REAL NOT NULL, at INTEGER NOT NULL, PRIMARY KEY (word, sentence_id))",
    };
    return statements;
}

QSqlError WordBookStore::save(qint64 sentence, const QString& word, const QStringList& forms,
                              const WordMeeting& meeting)
{
    QSqlQuery keep(db_);
    keep.prepare(
        "INSERT INTO word_book (word, forms, added_at) VALUES (?, ?, ?)"
        " ON CONFLICT (word) DO UPDATE SET forms = excluded.forms");
    keep.addBindValue(word);
    keep.addBindValue(text(forms.join(' ')));
    keep.addBindValue(meeting.at);
    if (!keep.exec())
        return keep.lastError();
    if (sentence < 0)
        return {};
    QSqlQuery met(db_);
    met.prepare(
        "INSERT INTO word_meetings (word, sentence_id, form, clip_start, clip_end, at) VALUES (?, ?, ?, ?, ?, ?)"
        " ON CONFLICT (word, sentence_id) DO UPDATE SET form = excluded.form, clip_start = excluded.clip_start,"
        " clip_end = excluded.clip_end, at = excluded.at");
    for (const QVariant& v : {QVariant(word), QVariant(sentence), text(meeting.form), QVariant(meeting.clipStart),
                              QVariant(meeting.clipEnd), QVariant(meeting.at)})
        met.addBindValue(v);
    return met.exec() ? QSqlError() : met.lastError();
}

QSqlError WordBookStore::remove(const QString& word)
{
    for (const char* statement : {"DELETE FROM word_meetings WHERE word = ?", "DELETE FROM word_book WHERE word = ?"}) {
        QSqlQuery remove(db_);
        remove.prepare(statement);
        remove.addBindValue(word);
        if (!remove.exec())
            return remove.lastError();
    }
    return {};
}

WordBook WordBookStore::words() const
{
    WordBook book;
    QSqlQuery words(db_);
    if (!words.exec("SELECT word, forms, added_at FROM word_book ORDER BY added_at DESC, word"))
        return book;
    QHash<QString, int> index;
    while (words.next()) {
        index.insert(words.value(0).toString(), int(book.size()));
        book.append({words.value(0).toString(),
                     words.value(1).toString().split(' ', Qt::SkipEmptyParts),
                     words.value(2).toLongLong(),
                     {}});
    }
    QSqlQuery met(db_);
    if (!met.exec("SELECT m.word, s.volume, s.lesson, s.number, s.text_hash, s.english, s.chinese, m.form,"
                  " m.clip_start, m.clip_end, m.at FROM word_meetings m JOIN sentences s ON s.id = m.sentence_id"
                  " ORDER BY m.at DESC"))
        return book;
    while (met.next()) {
        const auto found = index.constFind(met.value(0).toString());
        if (found == index.constEnd())
            continue;
        WordMeeting meeting;
        meeting.sentence = {met.value(1).toString(), met.value(2).toString(), met.value(3).toInt(),
                            met.value(4).toString(), met.value(5).toString(), met.value(6).toString()};
        meeting.form = met.value(7).toString();
        meeting.clipStart = met.value(8).toDouble();
        meeting.clipEnd = met.value(9).toDouble();
        meeting.at = met.value(10).toLongLong();
        book[*found].meetings.append(meeting);
    }
    return book;
}
