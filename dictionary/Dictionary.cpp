#include "dictionary/Dictionary.h"

#include "dictionary/WrittenWord.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// The layout of the file this reader understands.
const char* const kSchema = "1";

const char* const kEntryColumns = "word, phonetic, translation, collins, oxford, tags, frq, bnc, exchange";

DictionaryEntry entryAt(const QSqlQuery& row)
{
    DictionaryEntry e;
    e.word = row.value(0).toString();
    e.phonetic = row.value(1).toString();
    e.meanings = row.value(2).toString().split('\n', Qt::SkipEmptyParts);
    e.collins = row.value(3).toInt();
    e.oxford = row.value(4).toInt() != 0;
    e.tags = row.value(5).toString().split(' ', Qt::SkipEmptyParts);
    e.frq = row.value(6).toInt();
    e.bnc = row.value(7).toInt();
    e.exchange = row.value(8).toString();
    return e;
}

}  // namespace

QString dictionaryFile(const QString& programFolder)
{
    return QDir(programFolder).filePath("dictionary/ecdict.sqlite");
}

Dictionary::Dictionary(QString file)
    : file_(std::move(file)), connection_("lexbay-dictionary-" + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

Dictionary::~Dictionary()
{
    byKey_.reset();
    byWord_.reset();
    lemmas_.reset();
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool Dictionary::open()
{
    if (opened_ || !problem_.isEmpty())
        return opened_;
    if (!QFileInfo(file_).isFile()) {
        problem_ = QString("找不到词典文件 %1").arg(QDir::toNativeSeparators(file_));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection_);
    db.setDatabaseName(file_);
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    if (!db.open()) {
        problem_ = QString("无法打开词典文件 %1：%2").arg(QDir::toNativeSeparators(file_), db.lastError().text());
        return false;
    }
    QSqlQuery schema(db);
    if (!schema.exec("SELECT value FROM meta WHERE name = 'schema'") || !schema.next()
        || schema.value(0).toString() != kSchema) {
        problem_ = QString("%1 不是 Lexbay 能读的词典文件").arg(QDir::toNativeSeparators(file_));
        return false;
    }
    byKey_ = std::make_unique<QSqlQuery>(db);
    byWord_ = std::make_unique<QSqlQuery>(db);
    lemmas_ = std::make_unique<QSqlQuery>(db);
    const bool prepared = byKey_->prepare(QString("SELECT %1 FROM entry WHERE key = ?").arg(kEntryColumns))
                          && byWord_->prepare(QString("SELECT %1 FROM entry WHERE word = ?").arg(kEntryColumns))
                          && lemmas_->prepare("SELECT lemma, kinds FROM form WHERE key = ? ORDER BY lemma");
    if (!prepared) {
        problem_ = QString("%1 不是 Lexbay 能读的词典文件").arg(QDir::toNativeSeparators(file_));
        return false;
    }
    opened_ = true;
    return true;
}

bool Dictionary::failed(const QSqlQuery& query)
{
    if (!query.lastError().isValid())
        return false;
    problem_ = QString("词典文件 %1 已损坏：%2").arg(QDir::toNativeSeparators(file_), query.lastError().text());
    opened_ = false;
    return true;
}

QList<DictionaryEntry> Dictionary::entriesByKey(const QString& key)
{
    QList<DictionaryEntry> entries;
    byKey_->addBindValue(key);
    if (!byKey_->exec() || failed(*byKey_))
        return entries;
    while (byKey_->next())
        entries << entryAt(*byKey_);
    byKey_->finish();
    return entries;
}

DictionaryEntry Dictionary::entry(const QString& word)
{
    DictionaryEntry e;
    if (!open())
        return e;
    byWord_->addBindValue(word);
    if (byWord_->exec() && !failed(*byWord_) && byWord_->next())
        e = entryAt(*byWord_);
    byWord_->finish();
    return e;
}

// The word's own headwords, the one spelled exactly as written first, then
// the headwords it is a form of.
QList<FoundEntry> Dictionary::find(const QString& word)
{
    QList<FoundEntry> found;
    const QString key = word.toLower();
    QList<DictionaryEntry> own = entriesByKey(key);
    std::stable_sort(own.begin(), own.end(), [&](const DictionaryEntry& a, const DictionaryEntry& b) {
        auto rank = [&](const DictionaryEntry& e) { return e.word == word ? 0 : e.word == key ? 1 : 2; };
        return rank(a) < rank(b);
    });
    for (DictionaryEntry& e : own)
        found << FoundEntry{std::move(e), {}, {}};
    if (!opened_)
        return found;

    QList<QPair<QString, QString>> lemmas;
    lemmas_->addBindValue(key);
    if (!lemmas_->exec() || failed(*lemmas_))
        return found;
    while (lemmas_->next())
        lemmas.append({lemmas_->value(0).toString(), lemmas_->value(1).toString()});
    lemmas_->finish();
    for (const auto& [lemma, kinds] : lemmas) {
        DictionaryEntry e = entry(lemma);
        if (!e.word.isEmpty())
            found << FoundEntry{std::move(e), word, kinds};
    }
    return found;
}

WordLookup Dictionary::lookup(const QString& written)
{
    const WrittenWord shape = readWrittenWord(written);
    WordLookup result;
    result.kind = shape.kind;
    result.word = shape.word;
    if (shape.kind != WordLookup::Kind::Word)
        return result;
    if (!open()) {
        result.kind = WordLookup::Kind::Unreadable;
        result.problem = problem_;
        return result;
    }
    for (const QString& whole : shape.wholes) {
        result.entries = find(whole);
        if (!result.entries.isEmpty())
            break;
    }
    if (result.entries.isEmpty()) {
        for (const QString& part : shape.parts) {
            const QList<FoundEntry> partEntries = find(part);
            if (!partEntries.isEmpty())
                result.entries << partEntries.first();
        }
    }
    if (!opened_) {
        result.entries.clear();
        result.kind = WordLookup::Kind::Unreadable;
        result.problem = problem_;
    }
    return result;
}
