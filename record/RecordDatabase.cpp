#include "record/RecordDatabase.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <map>

namespace {

constexpr int kBusyTimeoutMs = 5000;
// Some of SQLite's locks do not wait for the busy timeout (changing the
// journal mode, reading while another copy makes the file's tables): opening
// tries again at this pace until the timeout has passed.
constexpr int kOpenRetryMs = 20;
constexpr int kOverviewDays = 30;

const char* const kSchema[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL)",
    "CREATE TABLE study_sessions (id INTEGER PRIMARY KEY, started_at INTEGER NOT NULL, ended_at INTEGER NOT NULL)",
    "CREATE TABLE sentences (id INTEGER PRIMARY KEY, volume TEXT NOT NULL, lesson TEXT NOT NULL,"
    " number INTEGER NOT NULL, text_hash TEXT NOT NULL, english TEXT NOT NULL, chinese TEXT NOT NULL,"
    " UNIQUE (volume, lesson, number, text_hash))",
    "CREATE TABLE lesson_loads (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
    " volume TEXT NOT NULL, lesson TEXT NOT NULL, sentence_count INTEGER NOT NULL)",
    "CREATE TABLE plays (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
    " sentence_id INTEGER NOT NULL, mode INTEGER NOT NULL, speed_percent INTEGER NOT NULL DEFAULT 100)",
    "CREATE TABLE dictation_answers (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
    " sentence_id INTEGER NOT NULL, is_right INTEGER NOT NULL, first_wrong INTEGER NOT NULL,"
    " english_hint INTEGER NOT NULL, chinese_hint INTEGER NOT NULL)",
    "CREATE TABLE takes (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
    " sentence_id INTEGER NOT NULL, played INTEGER NOT NULL)",
    "CREATE INDEX sentences_of_lesson ON sentences (volume, lesson)",
    "CREATE INDEX plays_of_sentence ON plays (sentence_id)",
    "CREATE INDEX answers_of_sentence ON dictation_answers (sentence_id, at)",
    "CREATE INDEX takes_of_sentence ON takes (sentence_id)",
    "CREATE INDEX loads_of_lesson ON lesson_loads (volume, lesson)",
};

// Steps from each older version to the next.
const char* const kFromVersion1[] = {
    "ALTER TABLE plays ADD COLUMN speed_percent INTEGER NOT NULL DEFAULT 100",
};

QString localDay(qint64 at) { return QDateTime::fromMSecsSinceEpoch(at).toString("yyyy-MM-dd"); }

QString keyOf(const SentenceKey& k)
{
    return k.volume + '\x1f' + k.lesson + '\x1f' + QString::number(k.number) + '\x1f' + k.textHash;
}

// Activity on the sentences of one lesson, as a subquery's rows of (at, session_id).
const char* const kLessonActivity =
    "SELECT p.at, p.session_id FROM plays p JOIN sentences s ON s.id = p.sentence_id"
    " WHERE s.volume = :volume AND s.lesson = :lesson"
    " UNION ALL SELECT a.at, a.session_id FROM dictation_answers a JOIN sentences s ON s.id = a.sentence_id"
    " WHERE s.volume = :volume AND s.lesson = :lesson"
    " UNION ALL SELECT t.at, t.session_id FROM takes t JOIN sentences s ON s.id = t.sentence_id"
    " WHERE s.volume = :volume AND s.lesson = :lesson";

// SQLITE_BUSY and SQLITE_LOCKED, with their extended codes.
bool isBusy(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 || code == 6;
}

}  // namespace

RecordDatabase::RecordDatabase(QString connectionName) : connectionName_(std::move(connectionName)) {}

RecordDatabase::~RecordDatabase()
{
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
    }
}

bool RecordDatabase::exec(const QString& statement, QString* error)
{
    QSqlQuery query(db_);
    if (query.exec(statement))
        return true;
    lastExecBusy_ = isBusy(query.lastError());
    if (error)
        *error = query.lastError().text();
    return false;
}

QString RecordDatabase::open(const QString& file, QString* movedAside)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return QString("无法建立文件夹 %1").arg(info.absolutePath());
    db_ = QSqlDatabase::addDatabase("QSQLITE", connectionName_);
    if (!db_.isValid())
        return "没有 SQLite 数据库驱动（QSQLITE）";
    db_.setDatabaseName(file);
    db_.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db_.open())
        return QString("无法打开 %1：%2").arg(file, db_.lastError().text());

    // A file another copy holds is sound, not damaged: only a check that ran
    // and found damage puts it aside.
    QElapsedTimer waited;
    waited.start();
    Health found = health();
    while (found == Health::Held && waited.elapsed() < kBusyTimeoutMs) {
        QThread::msleep(kOpenRetryMs);
        found = health();
    }
    if (found == Health::Held)
        return QString("无法打开 %1：另一个程序正占用它").arg(file);
    if (found == Health::Damaged) {
        db_.close();
        QString aside = file + ".broken-" + QDateTime::currentDateTime().toString("yyyy-MM-dd");
        if (QFile::exists(aside))
            aside += QDateTime::currentDateTime().toString("-hhmmss");
        if (!QFile::rename(file, aside))
            return QString("%1 已损坏，且无法移到 %2").arg(file, aside);
        *movedAside = aside;
        if (!db_.open())
            return QString("无法打开 %1：%2").arg(file, db_.lastError().text());
    }
    for (;;) {
        lastExecBusy_ = false;
        const QString problem = prepare();
        if (problem.isEmpty() || !lastExecBusy_ || waited.elapsed() >= kBusyTimeoutMs)
            return problem;
        QThread::msleep(kOpenRetryMs);
    }
}

RecordDatabase::Health RecordDatabase::health()
{
    QSqlQuery check(db_);
    if (!check.exec("PRAGMA integrity_check") || !check.next())
        return isBusy(check.lastError()) ? Health::Held : Health::Damaged;
    return check.value(0).toString() == "ok" ? Health::Sound : Health::Damaged;
}

QString RecordDatabase::openForReading(const QString& file)
{
    if (!QFileInfo(file).isFile())
        return QString("没有学习记录文件 %1").arg(file);
    db_ = QSqlDatabase::addDatabase("QSQLITE", connectionName_);
    if (!db_.isValid())
        return "没有 SQLite 数据库驱动（QSQLITE）";
    db_.setDatabaseName(file);
    db_.setConnectOptions(QString("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db_.open())
        return QString("无法打开 %1：%2").arg(file, db_.lastError().text());
    QSqlQuery version(db_);
    if (!version.exec("SELECT version FROM schema_version") || !version.next())
        return QString("%1 不是可读的学习记录：%2").arg(file, version.lastError().text());
    if (version.value(0).toInt() > kSchemaVersion)
        return QString("学习记录由较新版本的程序写成（第 %1 版）").arg(version.value(0).toInt());
    return QString();
}

QString RecordDatabase::prepare()
{
    QString error;
    // Several copies of the program may write the file at once: readers never
    // wait for a writer, and a writer waits its turn.
    if (!exec("PRAGMA journal_mode = WAL", &error) || !exec("PRAGMA synchronous = NORMAL", &error))
        return error;
    // Two copies starting on a new file at once: the first to take the write
    // lock makes the tables, the other finds them made.
    if (!exec("BEGIN IMMEDIATE", &error))
        return error;
    QSqlQuery version(db_);
    const bool known = version.exec("SELECT version FROM schema_version") && version.next();
    const int found = known ? version.value(0).toInt() : 0;
    version.finish();
    if (found > kSchemaVersion)
        error = QString("学习记录由较新版本的程序写成（第 %1 版）").arg(found);
    else if (!known)
        error = create();
    else if (found < kSchemaVersion)
        error = migrate(found);
    if (!error.isEmpty()) {
        exec("ROLLBACK", nullptr);
        return error;
    }
    return exec("COMMIT", &error) ? QString() : error;
}

// Inside prepare()'s transaction.
QString RecordDatabase::create()
{
    QString error;
    for (const char* statement : kSchema) {
        if (!exec(statement, &error))
            return error;
    }
    for (const QString& statement :
         ReviewStore::tableStatements() + WordBookStore::tableStatements() + ReviewStore::wordTableStatements()) {
        if (!exec(statement, &error))
            return error;
    }
    exec(QString("INSERT INTO schema_version VALUES (%1)").arg(kSchemaVersion), &error);
    return error;
}

// Inside prepare()'s transaction.
QString RecordDatabase::migrate(int fromVersion)
{
    QString error;
    if (fromVersion <= 1) {
        for (const char* statement : kFromVersion1) {
            if (!exec(statement, &error))
                return error;
        }
    }
    if (fromVersion <= 2) {
        for (const QString& statement : ReviewStore::tableStatements()) {
            if (!exec(statement, &error))
                return error;
        }
    }
    if (fromVersion <= 3) {
        for (const QString& statement : WordBookStore::tableStatements()) {
            if (!exec(statement, &error))
                return error;
        }
    }
    if (fromVersion <= 4) {
        for (const QString& statement : ReviewStore::wordTableStatements()) {
            if (!exec(statement, &error))
                return error;
        }
        if (const QSqlError why = reviews_.enterSavedWords(); why.isValid())
            return why.text();
    }
    exec(QString("UPDATE schema_version SET version = %1").arg(kSchemaVersion), &error);
    return error;
}

qint64 RecordDatabase::startSession(qint64 at)
{
    QSqlQuery insert(db_);
    insert.prepare("INSERT INTO study_sessions (started_at, ended_at) VALUES (?, ?)");
    insert.addBindValue(at);
    insert.addBindValue(at);
    return insert.exec() ? insert.lastInsertId().toLongLong() : -1;
}

qint64 RecordDatabase::sentenceId(const SentenceKey& key, QSqlError* error)
{
    const QString cacheKey = keyOf(key);
    if (auto found = sentenceIds_.constFind(cacheKey); found != sentenceIds_.constEnd())
        return *found;
    QSqlQuery upsert(db_);
    // The Chinese text is known only while the page shows it: keep it once seen.
    upsert.prepare("INSERT INTO sentences (volume, lesson, number, text_hash, english, chinese)"
                   " VALUES (:volume, :lesson, :number, :hash, :english, :chinese)"
                   " ON CONFLICT (volume, lesson, number, text_hash) DO UPDATE SET chinese ="
                   " CASE WHEN excluded.chinese <> '' THEN excluded.chinese ELSE chinese END");
    upsert.bindValue(":volume", key.volume);
    upsert.bindValue(":lesson", key.lesson);
    upsert.bindValue(":number", key.number);
    upsert.bindValue(":hash", key.textHash);
    upsert.bindValue(":english", key.english);
    upsert.bindValue(":chinese", key.chinese);
    QSqlQuery select(db_);
    select.prepare("SELECT id FROM sentences WHERE volume = ? AND lesson = ? AND number = ? AND text_hash = ?");
    select.addBindValue(key.volume);
    select.addBindValue(key.lesson);
    select.addBindValue(key.number);
    select.addBindValue(key.textHash);
    if (!upsert.exec() || !select.exec() || !select.next()) {
        *error = upsert.lastError().type() != QSqlError::NoError ? upsert.lastError() : select.lastError();
        return -1;
    }
    const qint64 id = select.value(0).toLongLong();
    sentenceIds_.insert(cacheKey, id);
    return id;
}

QString RecordDatabase::write(qint64 session, const RecordBatch& events)
{
    if (events.isEmpty())
        return QString();
    return inWriteTransaction([&] { return writeEvents(session, events); });
}

QSqlError RecordDatabase::writeEvents(qint64 session, const RecordBatch& events)
{
    qint64 latest = 0;
    for (const RecordEvent& e : events) {
        latest = std::max(latest, e.at);
        QSqlQuery insert(db_);
        if (e.kind == RecordEvent::WordRemoved) {
            QSqlError why = words_.remove(e.word);
            if (!why.isValid())
                why = reviews_.forgetWord(e.word);
            if (why.isValid())
                return why;
            continue;
        }
        if (e.kind == RecordEvent::SentencesRenumbered) {
            if (const QSqlError why = renumber(e.sentence, e.shift); why.isValid())
                return why;
            continue;
        }
        if (e.kind == RecordEvent::Reviewed && !e.word.isEmpty()) {
            if (e.grade < int(fsrs::Grade::Again) || e.grade > int(fsrs::Grade::Easy))
                continue;
            if (const QSqlError why = reviews_.reviewWord(e.word, e.at, fsrs::Grade(e.grade)); why.isValid())
                return why;
            continue;
        }
        if (e.kind == RecordEvent::WordSaved) {
            // A word kept from the word list belongs to no sentence.
            QSqlError why;
            const qint64 sentence = e.sentence.number < 0 ? -1 : sentenceId(e.sentence, &why);
            if (why.isValid())
                return why;
            why = words_.save(sentence, e.word, e.forms, {e.sentence, e.form, e.clipStart, e.clipEnd, e.at});
            if (!why.isValid())
                why = reviews_.enterWord(e.word, e.at);
            if (why.isValid())
                return why;
            continue;
        }
        if (e.kind == RecordEvent::LessonLoad) {
            if (const QSqlError why = reviews_.movedOn(e.at); why.isValid())
                return why;
            insert.prepare("INSERT INTO lesson_loads (session_id, at, volume, lesson, sentence_count)"
                           " VALUES (?, ?, ?, ?, ?)");
            for (const QVariant& v : {QVariant(session), QVariant(e.at), QVariant(e.sentence.volume),
                                      QVariant(e.sentence.lesson), QVariant(e.sentenceCount)})
                insert.addBindValue(v);
        } else {
            QSqlError why;
            const qint64 sentence = sentenceId(e.sentence, &why);
            if (sentence < 0)
                return why;
            switch (e.kind) {
            case RecordEvent::Play:
                insert.prepare("INSERT INTO plays (session_id, at, sentence_id, mode, speed_percent)"
                               " VALUES (?, ?, ?, ?, ?)");
                for (const QVariant& v : {QVariant(session), QVariant(e.at), QVariant(sentence), QVariant(e.mode),
                                          QVariant(e.speedPercent)})
                    insert.addBindValue(v);
                break;
            case RecordEvent::DictationAnswer:
                insert.prepare("INSERT INTO dictation_answers (session_id, at, sentence_id, is_right, first_wrong,"
                               " english_hint, chinese_hint) VALUES (?, ?, ?, ?, ?, ?, ?)");
                for (const QVariant& v : {QVariant(session), QVariant(e.at), QVariant(sentence), QVariant(e.right),
                                          QVariant(e.firstWrong), QVariant(e.englishHint), QVariant(e.chineseHint)})
                    insert.addBindValue(v);
                if (const QSqlError why = reviews_.answered(sentence, e.at, {e.right, e.englishHint}); why.isValid())
                    return why;
                break;
            case RecordEvent::TakeScored:
                insert.prepare("INSERT INTO take_scores (session_id, at, sentence_id, similarity) VALUES (?, ?, ?, ?)");
                for (const QVariant& v : {QVariant(session), QVariant(e.at), QVariant(sentence), QVariant(e.similarity)})
                    insert.addBindValue(v);
                if (const QSqlError why = reviews_.review(sentence, e.at, review::gradeForSimilarity(e.similarity));
                    why.isValid())
                    return why;
                break;
            case RecordEvent::Reviewed:
                if (e.grade < int(fsrs::Grade::Again) || e.grade > int(fsrs::Grade::Easy))
                    continue;
                if (const QSqlError why = reviews_.review(sentence, e.at, fsrs::Grade(e.grade)); why.isValid())
                    return why;
                continue;
            default:
                insert.prepare("INSERT INTO takes (session_id, at, sentence_id, played) VALUES (?, ?, ?, ?)");
                for (const QVariant& v : {QVariant(session), QVariant(e.at), QVariant(sentence),
                                          QVariant(e.kind == RecordEvent::TakePlayed)})
                    insert.addBindValue(v);
                break;
            }
        }
        if (!insert.exec())
            return insert.lastError();
    }
    QSqlQuery end(db_);
    end.prepare("UPDATE study_sessions SET ended_at = max(ended_at, ?) WHERE id = ?");
    end.addBindValue(latest);
    end.addBindValue(session);
    return end.exec() ? QSqlError() : end.lastError();
}

QSqlError RecordDatabase::renumber(const SentenceKey& from, int shift)
{
    // Through negative numbers, so no row meets another's old number on the
    // way. A row that would meet one of the same text there (two sentences
    // of the same words next to each other, joined) keeps its history apart.
    const char* const steps[] = {
        "UPDATE sentences SET number = -1000000 - number WHERE volume = ? AND lesson = ? AND number >= ?",
        "UPDATE OR IGNORE sentences SET number = -1000000 - number + ? WHERE volume = ? AND lesson = ?"
        " AND number <= -1000000",
    };
    for (const char* statement : steps) {
        QSqlQuery update(db_);
        update.prepare(statement);
        if (statement == steps[1])
            update.addBindValue(shift);
        update.addBindValue(from.volume);
        update.addBindValue(from.lesson);
        if (statement == steps[0])
            update.addBindValue(from.number);
        if (!update.exec())
            return update.lastError();
    }
    // The ids known by number are no longer what they were.
    sentenceIds_.clear();
    return QSqlError();
}

QString RecordDatabase::inWriteTransaction(const std::function<QSqlError()>& work)
{
    lastWriteBusy_ = false;
    const ReviewStore::OpenAttempt openBefore = reviews_.openAttempt();
    // The write lock at once: a review reads an item's memory and writes it
    // back, and another copy of the program must not come in between.
    QSqlQuery begin(db_);
    QSqlError why = begin.exec("BEGIN IMMEDIATE") ? work() : begin.lastError();
    if (!why.isValid() && !db_.commit())
        why = db_.lastError();
    if (!why.isValid())
        return QString();
    lastWriteBusy_ = isBusy(why);
    db_.rollback();
    // Ids learnt inside the rolled-back transaction may be gone.
    sentenceIds_.clear();
    reviews_.restore(openBefore);
    return why.text().isEmpty() ? QString("无法写入学习记录") : why.text();
}

QString RecordDatabase::settleDictation(qint64 at)
{
    return inWriteTransaction([this, at] { return reviews_.movedOn(at); });
}

QString RecordDatabase::retireChangedItems(const QString& volume, const QString& lesson,
                                           const QStringList& textHashes)
{
    return inWriteTransaction([&] { return reviews_.retireChanged(volume, lesson, textHashes); });
}

AnswerHistory RecordDatabase::answerHistory(const QString& volume, const QString& lesson,
                                            const QStringList& textHashes)
{
    AnswerHistory history(textHashes.size());
    QSqlQuery query(db_);
    query.prepare("SELECT s.number, s.text_hash, a.is_right FROM dictation_answers a"
                  " JOIN sentences s ON s.id = a.sentence_id WHERE s.volume = ? AND s.lesson = ?"
                  " ORDER BY a.at, a.id");
    query.addBindValue(volume);
    query.addBindValue(lesson);
    if (!query.exec())
        return history;
    while (query.next()) {
        const int number = query.value(0).toInt();
        if (number >= 0 && number < textHashes.size() && query.value(1).toString() == textHashes[number])
            history[number].append(query.value(2).toBool());
    }
    return history;
}

QVector<int> RecordDatabase::lessonMarks(const QString& volume, const QStringList& titles)
{
    QVector<int> marks(titles.size(), NotStudied);
    QSqlQuery studied(db_), right(db_), count(db_);
    studied.prepare(QString("SELECT EXISTS (%1)").arg(kLessonActivity));
    // The sentences as last met, each counted when it was ever dictated right.
    right.prepare("SELECT COUNT(*) FROM (SELECT number, MAX(id) AS id FROM sentences"
                  " WHERE volume = :volume AND lesson = :lesson GROUP BY number) latest"
                  " WHERE EXISTS (SELECT 1 FROM dictation_answers a WHERE a.sentence_id = latest.id AND a.is_right)");
    count.prepare("SELECT sentence_count FROM lesson_loads WHERE volume = :volume AND lesson = :lesson"
                  " ORDER BY at DESC, id DESC LIMIT 1");
    for (int i = 0; i < titles.size(); ++i) {
        for (QSqlQuery* q : {&studied, &right, &count}) {
            q->bindValue(":volume", volume);
            q->bindValue(":lesson", titles[i]);
            q->exec();
        }
        if (!studied.next() || !studied.value(0).toBool())
            continue;
        marks[i] = Studied;
        const int sentences = count.next() ? count.value(0).toInt() : 0;
        if (sentences > 0 && right.next() && right.value(0).toInt() >= sentences)
            marks[i] = AllDictatedRight;
    }
    return marks;
}

RecordOverview RecordDatabase::overview(const QString& volume, const QStringList& titles, qint64 now)
{
    RecordOverview result;
    const QDate today = QDateTime::fromMSecsSinceEpoch(now).date();
    std::map<QDate, double> minutes;
    for (int back = kOverviewDays - 1; back >= 0; --back)
        minutes[today.addDays(-back)] = 0;
    const qint64 windowStart = today.addDays(1 - kOverviewDays).startOfDay().toMSecsSinceEpoch();
    QSqlQuery sessions(db_);
    sessions.prepare("SELECT started_at, ended_at FROM study_sessions WHERE ended_at >= ?");
    sessions.addBindValue(windowStart);
    if (sessions.exec()) {
        while (sessions.next()) {
            // A session past midnight counts on both days.
            qint64 from = std::max(sessions.value(0).toLongLong(), windowStart);
            const qint64 to = sessions.value(1).toLongLong();
            while (from < to) {
                const QDate day = QDateTime::fromMSecsSinceEpoch(from).date();
                const qint64 dayEnd = std::min(to, day.addDays(1).startOfDay().toMSecsSinceEpoch());
                if (auto slot = minutes.find(day); slot != minutes.end())
                    slot->second += (dayEnd - from) / 60000.0;
                from = dayEnd;
            }
        }
    }
    for (const auto& [day, total] : minutes)
        result.days.append({day.toString("yyyy-MM-dd"), total});

    QSqlQuery times(db_), first(db_), count(db_);
    times.prepare(QString("SELECT COUNT(DISTINCT session_id), MAX(at) FROM (%1)").arg(kLessonActivity));
    // Per sentence as last met: whether its first answer was right.
    first.prepare("SELECT COUNT(*) FROM (SELECT number, MAX(id) AS id FROM sentences"
                  " WHERE volume = :volume AND lesson = :lesson GROUP BY number) latest"
                  " WHERE (SELECT a.is_right FROM dictation_answers a WHERE a.sentence_id = latest.id"
                  " ORDER BY a.at, a.id LIMIT 1) = 1");
    count.prepare("SELECT sentence_count FROM lesson_loads WHERE volume = :volume AND lesson = :lesson"
                  " ORDER BY at DESC, id DESC LIMIT 1");
    for (const QString& title : titles) {
        RecordOverview::Lesson lesson;
        lesson.title = title;
        for (QSqlQuery* q : {&times, &first, &count}) {
            q->bindValue(":volume", volume);
            q->bindValue(":lesson", title);
            q->exec();
        }
        if (times.next()) {
            lesson.timesStudied = times.value(0).toInt();
            if (!times.value(1).isNull())
                lesson.lastStudied = localDay(times.value(1).toLongLong());
        }
        lesson.rightAtFirstTry = first.next() ? first.value(0).toInt() : 0;
        lesson.sentences = count.next() ? count.value(0).toInt() : 0;
        result.lessons.append(lesson);
    }
    return result;
}

ReviewQueue RecordDatabase::reviewQueue(const QDate& day, int limit) const { return reviews_.queue(day, limit); }

DueCount RecordDatabase::dueCount(const QDate& day) const { return reviews_.dueCount(day); }

ReviewOverview RecordDatabase::reviewOverview(const QDate& today) const { return reviews_.overview(today); }
