#include "record/ReviewStore.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

qint64 dayOf(qint64 at) { return QDateTime::fromMSecsSinceEpoch(at).date().toJulianDay(); }

QSqlError run(QSqlQuery& query)
{
    return query.exec() ? QSqlError() : query.lastError();
}

}  // namespace

// Where the reviews of one kind of item are kept, and the column naming the item.
struct ReviewStore::Ledger {
    const char* items;
    const char* log;
    const char* key;
    // Items enter review before their first grade (a word when it is kept):
    // a grade for one not there is dropped.
    bool enteredBeforehand;
};

const ReviewStore::Ledger ReviewStore::kSentences{"review_items", "review_log", "sentence_id", false};
const ReviewStore::Ledger ReviewStore::kWords{"word_review_items", "word_review_log", "word", true};

const QStringList& ReviewStore::tableStatements()
{
    static const QStringList statements = {
        "CREATE TABLE take_scores (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
        " sentence_id INTEGER NOT NULL, similarity INTEGER NOT NULL)",
        "CREATE TABLE review_items (sentence_id INTEGER PRIMARY KEY, stability REAL NOT NULL,"
        " difficulty REAL NOT NULL, due_day INTEGER NOT NULL, last_review_at INTEGER NOT NULL,"
        " last_review_day INTEGER NOT NULL, reviews INTEGER NOT NULL, lapses INTEGER NOT NULL)",
        // scheduled_days: the interval the review before had set (0 for the first).
        "CREATE TABLE review_log (id INTEGER PRIMARY KEY, sentence_id INTEGER NOT NULL, at INTEGER NOT NULL,"
        " day INTEGER NOT NULL, grade INTEGER NOT NULL, elapsed_days INTEGER NOT NULL,"
        " scheduled_days INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " due_day INTEGER NOT NULL)",
        "CREATE INDEX scores_of_sentence ON take_scores (sentence_id)",
        "CREATE INDEX review_items_due ON review_items (due_day, stability)",
        "CREATE INDEX review_log_of_day ON review_log (day)",
    };
    return statements;
}

const QStringList& ReviewStore::wordTableStatements()
{
    static const QStringList statements = {
        "CREATE TABLE word_review_items (word TEXT PRIMARY KEY, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " due_day INTEGER NOT NULL, last_review_at INTEGER NOT NULL, last_review_day INTEGER NOT NULL,"
        " reviews INTEGER NOT NULL, lapses INTEGER NOT NULL)",
        "CREATE TABLE word_review_log (id INTEGER PRIMARY KEY, word TEXT NOT NULL, at INTEGER NOT NULL,"
        " day INTEGER NOT NULL, grade INTEGER NOT NULL, elapsed_days INTEGER NOT NULL,"
        " scheduled_days INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " due_day INTEGER NOT NULL)",
        "CREATE INDEX word_review_items_due ON word_review_items (due_day, stability)",
        "CREATE INDEX word_review_log_of_day ON word_review_log (day)",
    };
    return statements;
}

QSqlError ReviewStore::answered(qint64 sentence, qint64 at, const review::DictationCheck& check)
{
    if (open_.sentence != sentence) {
        if (const QSqlError error = movedOn(at); error.isValid())
            return error;
        open_.sentence = sentence;
    }
    const std::optional<fsrs::Grade> grade = open_.attempt.check(check);
    return grade ? review(sentence, at, *grade) : QSqlError();
}

QSqlError ReviewStore::movedOn(qint64 at)
{
    const qint64 sentence = open_.sentence;
    const std::optional<fsrs::Grade> grade = open_.attempt.moveOn();
    open_ = OpenAttempt();
    return grade ? review(sentence, at, *grade) : QSqlError();
}

QSqlError ReviewStore::review(qint64 sentence, qint64 at, fsrs::Grade grade)
{
    return reviewIn(kSentences, sentence, at, grade);
}

QSqlError ReviewStore::reviewWord(const QString& word, qint64 at, fsrs::Grade grade)
{
    return reviewIn(kWords, word, at, grade);
}

QSqlError ReviewStore::reviewIn(const Ledger& ledger, const QVariant& key, qint64 at, fsrs::Grade grade)
{
    QSqlQuery item(db_);
    item.prepare(QString("SELECT stability, difficulty, due_day, last_review_day, reviews, lapses FROM %1"
                         " WHERE %2 = ?")
                     .arg(ledger.items, ledger.key));
    item.addBindValue(key);
    if (!item.exec())
        return item.lastError();
    const bool known = item.next();
    // A word is reviewed only while it is in the word book.
    if (!known && ledger.enteredBeforehand)
        return QSqlError();
    const qint64 day = dayOf(at);
    fsrs::Review next;
    int elapsed = 0, scheduled = 0, reviews = 1, lapses = 0;
    if (known && item.value(4).toInt() > 0) {
        const fsrs::MemoryState memory{item.value(0).toDouble(), item.value(1).toDouble()};
        const qint64 lastDay = item.value(3).toLongLong();
        // A clock set back is taken as a review on the same day.
        elapsed = int(std::max<qint64>(day - lastDay, 0));
        scheduled = int(item.value(2).toLongLong() - lastDay);
        reviews = item.value(4).toInt() + 1;
        lapses = item.value(5).toInt() + (grade == fsrs::Grade::Again ? 1 : 0);
        next = scheduler_.next(memory, elapsed, grade);
    } else {
        next = scheduler_.first(grade);
    }
    item.finish();
    const qint64 due = day + next.intervalDays;

    QSqlQuery keep(db_);
    keep.prepare(QString("INSERT OR REPLACE INTO %1 (%2, stability, difficulty, due_day, last_review_at,"
                         " last_review_day, reviews, lapses) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                     .arg(ledger.items, ledger.key));
    for (const QVariant& v : {key, QVariant(next.memory.stability), QVariant(next.memory.difficulty), QVariant(due),
                              QVariant(at), QVariant(day), QVariant(reviews), QVariant(lapses)})
        keep.addBindValue(v);
    if (const QSqlError error = run(keep); error.isValid())
        return error;
    QSqlQuery log(db_);
    log.prepare(QString("INSERT INTO %1 (%2, at, day, grade, elapsed_days, scheduled_days, stability,"
                        " difficulty, due_day) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                    .arg(ledger.log, ledger.key));
    for (const QVariant& v : {key, QVariant(at), QVariant(day), QVariant(int(grade)), QVariant(elapsed),
                              QVariant(scheduled), QVariant(next.memory.stability), QVariant(next.memory.difficulty),
                              QVariant(due)})
        log.addBindValue(v);
    return run(log);
}

QSqlError ReviewStore::enterWord(const QString& word, qint64 at)
{
    // Not yet reviewed: no memory, due the day after it was kept.
    QSqlQuery enter(db_);
    enter.prepare("INSERT OR IGNORE INTO word_review_items (word, stability, difficulty, due_day, last_review_at,"
                  " last_review_day, reviews, lapses) VALUES (?, 0, 0, ?, ?, ?, 0, 0)");
    for (const QVariant& v : {QVariant(word), QVariant(dayOf(at) + 1), QVariant(at), QVariant(dayOf(at))})
        enter.addBindValue(v);
    return run(enter);
}

QSqlError ReviewStore::enterSavedWords()
{
    QSqlQuery words(db_);
    if (!words.exec("SELECT word, added_at FROM word_book"))
        return words.lastError();
    while (words.next()) {
        if (const QSqlError error = enterWord(words.value(0).toString(), words.value(1).toLongLong());
            error.isValid())
            return error;
    }
    return QSqlError();
}

QSqlError ReviewStore::forgetWord(const QString& word)
{
    QSqlQuery forget(db_);
    forget.prepare("DELETE FROM word_review_items WHERE word = ?");
    forget.addBindValue(word);
    return run(forget);
}

QSqlError ReviewStore::retireChanged(const QString& volume, const QString& lesson, const QStringList& textHashes)
{
    QSqlQuery items(db_);
    items.prepare("SELECT s.id, s.number, s.text_hash FROM review_items r JOIN sentences s ON s.id = r.sentence_id"
                  " WHERE s.volume = ? AND s.lesson = ?");
    items.addBindValue(volume);
    items.addBindValue(lesson);
    if (!items.exec())
        return items.lastError();
    QVariantList retired;
    while (items.next()) {
        const int number = items.value(1).toInt();
        if (number < 0 || number >= textHashes.size() || textHashes[number] != items.value(2).toString())
            retired << items.value(0);
    }
    QSqlQuery remove(db_);
    remove.prepare("DELETE FROM review_items WHERE sentence_id = ?");
    for (const QVariant& id : retired) {
        remove.addBindValue(id);
        if (const QSqlError error = run(remove); error.isValid())
            return error;
    }
    return QSqlError();
}

ReviewQueue ReviewStore::queue(const QDate& day, int limit) const
{
    ReviewQueue result;
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    // A word is asked in the sentence it was last kept from, if any.
    query.prepare("SELECT s.volume, s.lesson, s.number, s.text_hash, s.english, s.chinese, r.due_day,"
                  " r.last_review_day, r.stability, r.difficulty, r.reviews, r.lapses, NULL, NULL"
                  " FROM review_items r JOIN sentences s ON s.id = r.sentence_id WHERE r.due_day <= :day"
                  " UNION ALL"
                  " SELECT s.volume, s.lesson, COALESCE(s.number, -1), s.text_hash, s.english, s.chinese, w.due_day,"
                  " w.last_review_day, w.stability, w.difficulty, w.reviews, w.lapses, w.word, m.form"
                  " FROM word_review_items w LEFT JOIN word_meetings m ON m.rowid = (SELECT rowid FROM"
                  " word_meetings WHERE word = w.word ORDER BY at DESC, rowid DESC LIMIT 1)"
                  " LEFT JOIN sentences s ON s.id = m.sentence_id WHERE w.due_day <= :day"
                  " ORDER BY 7, 9 LIMIT :limit");
    query.bindValue(":day", day.toJulianDay());
    query.bindValue(":limit", limit);
    if (!query.exec())
        return result;
    while (query.next()) {
        ReviewItem item;
        item.sentence = {query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(),
                         query.value(3).toString(),  query.value(4).toString(), query.value(5).toString()};
        item.due = QDate::fromJulianDay(query.value(6).toLongLong());
        item.lastReview = QDate::fromJulianDay(query.value(7).toLongLong());
        item.stability = query.value(8).toDouble();
        item.difficulty = query.value(9).toDouble();
        item.reviews = query.value(10).toInt();
        item.lapses = query.value(11).toInt();
        item.word = query.value(12).toString();
        item.wordForm = query.value(13).toString();
        result.append(item);
    }
    return result;
}

DueCount ReviewStore::dueCount(const QDate& day) const
{
    // Table by table: a record read as an older version left it has no words
    // in review.
    DueCount result;
    for (const Ledger* ledger : {&kSentences, &kWords}) {
        QSqlQuery query(db_);
        query.prepare(QString("SELECT COUNT(*), COALESCE(SUM(due_day < :day), 0) FROM %1 WHERE due_day <= :day")
                          .arg(ledger->items));
        query.bindValue(":day", day.toJulianDay());
        if (!query.exec() || !query.next())
            continue;
        result.due += query.value(0).toInt();
        result.overdue += query.value(1).toInt();
        if (ledger == &kWords)
            result.words = query.value(0).toInt();
    }
    return result;
}

ReviewOverview ReviewStore::overview(const QDate& today) const
{
    ReviewOverview result;
    result.today = today;
    result.dueByDay.fill(0, ReviewOverview::kDays);
    result.reviewsByDay.fill(0, ReviewOverview::kDays);
    const qint64 first = today.toJulianDay();
    QSqlQuery due(db_);
    due.prepare("SELECT due_day, COUNT(*) FROM (SELECT due_day FROM review_items UNION ALL SELECT due_day"
                " FROM word_review_items) WHERE due_day < ? GROUP BY due_day");
    due.addBindValue(first + ReviewOverview::kDays);
    if (due.exec()) {
        while (due.next())
            result.dueByDay[int(std::max<qint64>(due.value(0).toLongLong() - first, 0))] += due.value(1).toInt();
    }
    QSqlQuery done(db_);
    done.prepare("SELECT day, COUNT(*), SUM(scheduled_days > 0 AND elapsed_days >= scheduled_days),"
                 " SUM(scheduled_days > 0 AND elapsed_days >= scheduled_days AND grade > 1)"
                 " FROM (SELECT day, grade, elapsed_days, scheduled_days FROM review_log UNION ALL"
                 " SELECT day, grade, elapsed_days, scheduled_days FROM word_review_log)"
                 " WHERE day > ? AND day <= ? GROUP BY day");
    done.addBindValue(first - ReviewOverview::kDays);
    done.addBindValue(first);
    if (done.exec()) {
        while (done.next()) {
            result.reviewsByDay[int(done.value(0).toLongLong() - first) + ReviewOverview::kDays - 1] =
                done.value(1).toInt();
            result.dueReviews += done.value(2).toInt();
            result.recalled += done.value(3).toInt();
        }
    }
    return result;
}
