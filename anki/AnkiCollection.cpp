#include "anki/AnkiCollection.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace {

constexpr int kSchemaVersion = 11;
// Each note type keeps one id in every package, so a second import finds the
// note type it brought the first time.
constexpr qint64 kNoteTypeId = 1733580000000;
constexpr qint64 kVideoNoteTypeId = 1733580000001;
constexpr qint64 kWordNoteTypeId = 1733580000002;
constexpr qint64 kVideoWordNoteTypeId = 1733580000003;
constexpr qint64 kDefaultDeckId = 1;
constexpr qint64 kDefaultOptionsId = 1;
const char* const kNoteTypeName = "Lexbay 句子";
const char* const kVideoNoteTypeName = "Lexbay 视频句子";
const char* const kWordNoteTypeName = "Lexbay 单词";
const char* const kVideoWordNoteTypeName = "Lexbay 视频单词";
const char* const kDeckRoot = "Lexbay";
const QChar kFieldSeparator(0x1F);

const char* const kSchema[] = {
    "CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null, scm integer not null,"
    " ver integer not null, dty integer not null, usn integer not null, ls integer not null, conf text not null,"
    " models text not null, decks text not null, dconf text not null, tags text not null)",
    "CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null, mod integer not null,"
    " usn integer not null, tags text not null, flds text not null, sfld integer not null, csum integer not null,"
    " flags integer not null, data text not null)",
    "CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null, ord integer not null,"
    " mod integer not null, usn integer not null, type integer not null, queue integer not null, due integer not null,"
    " ivl integer not null, factor integer not null, reps integer not null, lapses integer not null,"
    " left integer not null, odue integer not null, odid integer not null, flags integer not null,"
    " data text not null)",
    "CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null, ease integer not null,"
    " ivl integer not null, lastIvl integer not null, factor integer not null, time integer not null,"
    " type integer not null)",
    "CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null)",
    "CREATE INDEX ix_notes_usn on notes (usn)",
    "CREATE INDEX ix_cards_usn on cards (usn)",
    "CREATE INDEX ix_revlog_usn on revlog (usn)",
    "CREATE INDEX ix_cards_nid on cards (nid)",
    "CREATE INDEX ix_cards_sched on cards (did, queue, due)",
    "CREATE INDEX ix_revlog_cid on revlog (cid)",
    "CREATE INDEX ix_notes_csum on notes (csum)",
};

const char* const kCardStyle =
    ".card { font-family: \"Noto Sans CJK SC\", \"DejaVu Sans\", sans-serif; font-size: 24px;"
    " line-height: 1.5; text-align: center; color: #222; background: #fff; }\n"
    ".english { font-size: 28px; }\n"
    ".chinese { color: #555; margin-top: 0.5em; }\n"
    ".lesson { color: #999; font-size: 14px; margin-top: 1.5em; }\n"
    ".word { font-size: 36px; }\n"
    ".sentence { font-size: 22px; margin-top: 0.5em; }\n"
    ".meaning { text-align: left; display: inline-block; margin-top: 0.5em; }\n";

const char* const kPictureStyle = ".picture img { max-width: 100%; height: auto; }\n";
const char* const kPicture = "<div class=picture>{{Picture}}</div>";

const char* const kAnswerDetails =
    "<div class=chinese>{{Chinese}}</div>\n<div class=lesson>{{Lesson}} · {{Sentence number}}</div>";

QString json(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString deckName(const QString& volume)
{
    return QString("%1::%2").arg(kDeckRoot, volume);
}

// A deck's id from its name: the same volume lands in the same deck.
qint64 deckId(const QString& name)
{
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1);
    return 1'000'000'000'000LL + (QByteArray::fromRawData(hash.constData(), 5).toHex().toLongLong(nullptr, 16));
}

QJsonObject deck(qint64 id, const QString& name, qint64 modified)
{
    const QJsonArray zeroes{0, 0};
    return {{"id", id},
            {"name", name},
            {"mod", modified},
            {"usn", -1},
            {"conf", kDefaultOptionsId},
            {"desc", ""},
            {"dyn", 0},
            {"collapsed", false},
            {"browserCollapsed", false},
            {"extendNew", 0},
            {"extendRev", 0},
            {"newToday", zeroes},
            {"revToday", zeroes},
            {"lrnToday", zeroes},
            {"timeToday", zeroes}};
}

QJsonObject decks(const QList<AnkiNote>& notes, qint64 modified)
{
    QJsonObject all{{QString::number(kDefaultDeckId), deck(kDefaultDeckId, "Default", modified)},
                    {QString::number(deckId(kDeckRoot)), deck(deckId(kDeckRoot), kDeckRoot, modified)}};
    for (const AnkiNote& note : notes) {
        const QString name = deckName(note.volume);
        all.insert(QString::number(deckId(name)), deck(deckId(name), name, modified));
    }
    return all;
}

QJsonObject deckOptions()
{
    const QJsonObject options{
        {"id", kDefaultOptionsId},
        {"name", "Default"},
        {"mod", 0},
        {"usn", 0},
        {"maxTaken", 60},
        {"autoplay", true},
        {"timer", 0},
        {"replayq", true},
        {"dyn", false},
        {"new", QJsonObject{{"bury", false},
                            {"delays", QJsonArray{1.0, 10.0}},
                            {"initialFactor", 2500},
                            {"ints", QJsonArray{1, 4, 0}},
                            {"order", 1},
                            {"perDay", 20},
                            {"separate", true}}},
        {"lapse",
         QJsonObject{
             {"delays", QJsonArray{10.0}}, {"leechAction", 1}, {"leechFails", 8}, {"minInt", 1}, {"mult", 0.0}}},
        {"rev", QJsonObject{{"bury", false},
                            {"ease4", 1.3},
                            {"fuzz", 0.05},
                            {"ivlFct", 1.0},
                            {"maxIvl", 36500},
                            {"perDay", 200},
                            {"minSpace", 1},
                            {"hardFactor", 1.2}}}};
    return {{QString::number(kDefaultOptionsId), options}};
}

QJsonObject cardTemplate(int order, const QString& name, const QString& front, const QString& back)
{
    return {{"name", name}, {"ord", order},        {"qfmt", front}, {"afmt", back}, {"bqfmt", ""},
            {"bafmt", ""},  {"did", QJsonValue()}, {"bfont", ""},   {"bsize", 0}};
}

qint64 noteTypeId(bool picture, bool word)
{
    if (word)
        return picture ? kVideoWordNoteTypeId : kWordNoteTypeId;
    return picture ? kVideoNoteTypeId : kNoteTypeId;
}

// The word card: the word in its sentence, heard (and seen); the answer
// gives its phonetic, its meanings and the sentence's Chinese.
QJsonArray wordCardTemplates(bool picture)
{
    const QString front = QString("%1<div class=word>{{Word}}</div>\n<div class=sentence>{{Sentence}}</div>\n{{Audio}}")
                              .arg(picture ? QString(kPicture) + "\n" : QString());
    const QString back =
        "{{FrontSide}}\n<hr id=answer>\n<div>{{Phonetic}}</div>\n<div class=meaning>{{Meaning}}</div>\n"
        "<div class=chinese>{{Chinese}}</div>\n<div class=lesson>{{Lesson}}</div>";
    return {cardTemplate(0, "词义", front, back)};
}

// The listening card and the reading card; with a picture, the listening
// card shows it with the sound and the reading card on its answer.
QJsonArray cardTemplates(bool picture)
{
    const QString english = "<div class=english>{{English}}</div>";
    const QString sound = picture ? QString("%1\n{{Audio}}").arg(kPicture) : QString("{{Audio}}");
    return {cardTemplate(0, "听力", sound, QString("{{FrontSide}}\n<hr id=answer>\n%1\n%2").arg(english, kAnswerDetails)),
            cardTemplate(1, "阅读", english, QString("{{FrontSide}}\n<hr id=answer>\n%1\n%2").arg(sound, kAnswerDetails))};
}

QJsonObject noteType(bool picture, bool word, qint64 modified, qint64 deck)
{
    QJsonArray fields;
    QStringList names = word ? QStringList{"Word", "Phonetic", "Meaning", "Sentence", "Chinese", "Audio", "Lesson"}
                             : QStringList{"English", "Chinese", "Audio", "Lesson", "Sentence number"};
    if (picture)
        names << "Picture";
    for (int order = 0; order < names.size(); ++order)
        fields.append(QJsonObject{{"name", names[order]},
                                  {"ord", order},
                                  {"sticky", false},
                                  {"rtl", false},
                                  {"font", "Arial"},
                                  {"size", 20},
                                  {"media", QJsonArray()}});
    // Which fields a card needs to exist: the listening card its audio, the
    // reading card its English.
    // A word's card needs only its word.
    const QJsonArray required =
        word ? QJsonArray{QJsonArray{0, "any", QJsonArray{WordFieldWord}}}
             : QJsonArray{QJsonArray{0, "any", QJsonArray{FieldAudio}}, QJsonArray{1, "any", QJsonArray{FieldEnglish}}};
    const char* name =
        word ? (picture ? kVideoWordNoteTypeName : kWordNoteTypeName) : (picture ? kVideoNoteTypeName : kNoteTypeName);
    return {{"id", noteTypeId(picture, word)},
            {"name", name},
            {"type", 0},
            {"mod", modified},
            {"usn", -1},
            {"sortf", FieldEnglish},
            {"did", deck},
            {"tmpls", word ? wordCardTemplates(picture) : cardTemplates(picture)},
            {"flds", fields},
            {"css", picture ? QString(kCardStyle) + kPictureStyle : QString(kCardStyle)},
            {"latexPre",
             "\\documentclass[12pt]{article}\n\\special{papersize=3in,5in}\n\\usepackage[utf8]{inputenc}\n"
             "\\usepackage{amssymb,amsmath}\n\\pagestyle{empty}\n\\setlength{\\parindent}{0in}\n"
             "\\begin{document}\n"},
            {"latexPost", "\\end{document}"},
            {"latexsvg", false},
            {"req", required},
            {"tags", QJsonArray()},
            {"vers", QJsonArray()}};
}

// The note types the notes use: an export without video lessons holds only
// the one it always had.
QJsonObject noteTypes(const QList<AnkiNote>& notes, qint64 modified, qint64 deck)
{
    QJsonObject types;
    for (const AnkiNote& note : notes)
        types.insert(QString::number(noteTypeId(note.picture, note.word)),
                     noteType(note.picture, note.word, modified, deck));
    if (types.isEmpty())
        types.insert(QString::number(kNoteTypeId), noteType(false, false, modified, deck));
    return types;
}

QJsonObject collectionOptions(qint64 firstDeck, qint64 firstNoteType)
{
    return {{"activeDecks", QJsonArray{firstDeck}},
            {"curDeck", firstDeck},
            {"newSpread", 0},
            {"collapseTime", 1200},
            {"timeLim", 0},
            {"estTimes", true},
            {"dueCounts", true},
            {"curModel", firstNoteType},
            {"nextPos", 1},
            {"sortType", "noteFld"},
            {"sortBackwards", false},
            {"addToCur", true},
            {"newBury", true}};
}

// The sort field's checksum Anki finds duplicates by: the first 32 bits of
// the SHA-1 of the field's text without markup.
qint64 checksum(const QString& field)
{
    static const QRegularExpression markup("<[^>]*>");
    const QString text = QString(field).remove(markup);
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).left(4).toHex().toLongLong(nullptr, 16);
}

class Connection {
public:
    explicit Connection(const QString& path)
        : name_("lexbay-anki-" + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(path);
        db.open();
    }
    ~Connection() { QSqlDatabase::removeDatabase(name_); }
    QSqlDatabase database() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

class CollectionWriter {
public:
    explicit CollectionWriter(QSqlDatabase db) : db_(std::move(db)), query_(db_) {}

    QString write(const QList<AnkiNote>& notes)
    {
        if (!db_.isOpen())
            return db_.lastError().text();
        const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
        if (!db_.transaction())
            return db_.lastError().text();
        for (const char* statement : kSchema) {
            if (!query_.exec(statement))
                return query_.lastError().text();
        }
        if (!writeCol(notes, nowMs))
            return query_.lastError().text();
        const QString notesError = writeNotes(notes, nowMs);
        if (!notesError.isEmpty())
            return notesError;
        if (!db_.commit())
            return db_.lastError().text();
        return {};
    }

private:
    bool writeCol(const QList<AnkiNote>& notes, qint64 nowMs)
    {
        const qint64 now = nowMs / 1000;
        const qint64 firstDeck = notes.isEmpty() ? kDefaultDeckId : deckId(deckName(notes.first().volume));
        query_.prepare("INSERT INTO col VALUES (1, ?, ?, ?, ?, 0, 0, 0, ?, ?, ?, ?, '{}')");
        query_.addBindValue(QDateTime::currentDateTime().date().startOfDay().toSecsSinceEpoch());
        query_.addBindValue(nowMs);
        query_.addBindValue(nowMs);
        query_.addBindValue(kSchemaVersion);
        const bool firstPicture = !notes.isEmpty() && notes.first().picture;
        const bool firstWord = !notes.isEmpty() && notes.first().word;
        query_.addBindValue(json(collectionOptions(firstDeck, noteTypeId(firstPicture, firstWord))));
        query_.addBindValue(json(noteTypes(notes, now, firstDeck)));
        query_.addBindValue(json(decks(notes, now)));
        query_.addBindValue(json(deckOptions()));
        return query_.exec();
    }

    // Each note with its cards (a sentence's two, a word's one), new, in the
    // order given. The sort field is the first: the English, or the word.
    QString writeNotes(const QList<AnkiNote>& notes, qint64 nowMs)
    {
        QSqlQuery cards(db_);
        query_.prepare("INSERT INTO notes VALUES (?, ?, ?, ?, -1, '', ?, ?, ?, 0, '')");
        cards.prepare("INSERT INTO cards VALUES (?, ?, ?, ?, ?, -1, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, '')");
        for (int i = 0; i < notes.size(); ++i) {
            const AnkiNote& note = notes[i];
            const qint64 noteId = nowMs + i;
            query_.addBindValue(noteId);
            query_.addBindValue(note.guid);
            query_.addBindValue(noteTypeId(note.picture, note.word));
            query_.addBindValue(nowMs / 1000);
            query_.addBindValue(note.fields.join(kFieldSeparator));
            query_.addBindValue(note.fields.value(FieldEnglish));
            query_.addBindValue(checksum(note.fields.value(FieldEnglish)));
            if (!query_.exec())
                return query_.lastError().text();
            for (int order = 0; order < (note.word ? 1 : 2); ++order) {
                cards.addBindValue(nowMs + 2 * i + order);
                cards.addBindValue(noteId);
                cards.addBindValue(deckId(deckName(note.volume)));
                cards.addBindValue(order);
                cards.addBindValue(nowMs / 1000);
                cards.addBindValue(i + 1);
                if (!cards.exec())
                    return cards.lastError().text();
            }
        }
        return {};
    }

    QSqlDatabase db_;
    QSqlQuery query_;
};

}  // namespace

QString writeAnkiCollection(const QString& path, const QList<AnkiNote>& notes)
{
    const Connection connection(path);
    QString error = CollectionWriter(connection.database()).write(notes);
    return error.isEmpty() ? QString() : QString("无法写入 Anki 卡片集：%1").arg(error);
}
