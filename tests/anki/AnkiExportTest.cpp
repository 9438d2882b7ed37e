// lexbay --export-anki on a volume of the learner's own, made by the test:
// three tones read as sentences, with silences of known length between them,
// and the same as a video lesson on a video whose colour tells the second.

#include "AnkiPackageReader.h"
#include "ColourVideo.h"
#include "anki/AnkiExportJob.h"
#include "anki/AnkiPackage.h"
#include "anki/CourseSentences.h"
#include "anki/ExportChoice.h"
#include "platform/system/CourseLibrary.h"
#include "record/StudyRecord.h"
#include "WavFiles.h"
#include "platform/analysis/AudioDecoding.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kVolume = "Trellis英语第3册";
const QString kLesson = "Lesson 1 Tones";
const QString kLessonWithoutRecording = "Lesson 2 没有录音";
const QString kLessonOutOfOrder = "Lesson 3 时间颠倒";
const QString kLessonNotSound = "Lesson 4 录音坏了";
const QString kVideoLesson = "Lesson 5 Colours";
const QString kLessonVideoWithoutPicture = "Lesson 6 视频没有画面";
const QStringList kEnglish{"The first tone.", "A second one, louder?", "And the <last> one & all."};
const QStringList kChinese{"第一个音。", "第二个音。", "最后一个音。"};

constexpr int kRate = 44100;
constexpr double kRecordingSeconds = 5.1;
struct Tone {
    double start, end;
};
// Each sentence starts 0.1 s before its tone, but the third starts 0.05 s after
// the second tone's end, inside the 0.3 s silence before the third tone.
const Tone kTones[] = {{0.5, 1.5}, {2.5, 3.5}, {3.8, 4.8}};
const char* const kTiming = "[00:00.40]1\r\n[00:02.40]2\r\n[00:03.55]3\r\n";
// Range plus the padding of 150 ms each side, as far as the silence midpoint:
// 1: 0.40-2.40, 0.15 before (the recording's start is further), none after
//    (the midpoint 2.0 lies inside the range);
// 2: 2.40-3.55, 0.15 before (midpoint 2.0), 0.10 after (midpoint 3.65);
// 3: 3.55-5.10, none before (midpoint 3.65 is inside), none after the end.
const double kClipSeconds[] = {2.15, 1.40, 1.55};
// The middles of the three ranges: 0.40-2.40, 2.40-3.55, 3.55-5.10.
const double kMiddles[] = {1.40, 2.975, 4.325};
QByteArray gb(const QString& text)
{
    return QStringEncoder("GB18030").encode(text);
}

struct CommandRun {
    int code;
    QString out;
    QString err;
};

class AnkiExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid() && outputs_.isValid());
        volume_ = home_.filePath("Lexbay/books/" + kVolume);
        ASSERT_TRUE(QDir().mkpath(volume_));
        QByteArray lessons = gb("$" + kLesson + "\r\n");
        for (int n = 0; n < kEnglish.size(); ++n)
            lessons += gb(QString("%1. %2\r\n%3\r\n").arg(n + 1).arg(kEnglish[n], kChinese[n]));
        lessons += gb("$" + kLessonWithoutRecording + "\r\n1. Silence.\r\n安静。\r\n");
        lessons += gb("$" + kLessonOutOfOrder + "\r\n1. Later.\r\n后。\r\n2. Earlier.\r\n前。\r\n");
        lessons += gb("$" + kLessonNotSound + "\r\n1. Noise.\r\n噪音。\r\n");
        lessons += gb("$" + kVideoLesson + "\r\n");
        for (int n = 0; n < kEnglish.size(); ++n)
            lessons += gb(QString("%1. %2\r\n%3\r\n").arg(n + 1).arg(kEnglish[n], kChinese[n]));
        lessons += gb("$" + kLessonVideoWithoutPicture + "\r\n1. Only sound.\r\n只有声音。\r\n");
        writeFile(volume_ + "/lesson.txt", lessons);
        writeFile(volume_ + "/tlx3001.lrc", kTiming);
        writeFile(volume_ + "/tlx3002.lrc", "[00:00.00]1\r\n");
        writeFile(volume_ + "/tlx3003.lrc", "[00:03.00]1\r\n[00:01.00]2\r\n");
        writeFile(volume_ + "/tlx3004.lrc", "[00:00.00]1\r\n");
        writeFile(volume_ + "/tlx3004.mp3", "not a recording");
        writeFile(volume_ + "/tlx3005.lrc", kTiming);
        writeFile(volume_ + "/tlx3006.lrc", "[00:00.40]1\r\n");
        writeFile(volume_ + "/tlx3006.video.txt", "tlx3006.mp3");
        std::vector<float> samples(std::size_t(kRecordingSeconds * kRate), 0.0f);
        for (const Tone& tone : kTones) {
            for (auto i = std::size_t(tone.start * kRate); i < std::size_t(tone.end * kRate); ++i)
                samples[i] = 0.5f * float(std::sin(2 * M_PI * 440 * double(i) / kRate));
        }
        writeMonoWav(home_.filePath("tones.wav"), samples, kRate);
        QProcess lame;
        lame.start("lame", {"--quiet", "--cbr", "-b", "64", "-m", "m", "--resample", "44.1",
                            home_.filePath("tones.wav"), volume_ + "/tlx3001.mp3"});
        ASSERT_TRUE(lame.waitForFinished(30000) && lame.exitCode() == 0);
        ASSERT_TRUE(QFile::copy(volume_ + "/tlx3001.mp3", volume_ + "/tlx3003.mp3"));
        ASSERT_TRUE(QFile::copy(volume_ + "/tlx3001.mp3", volume_ + "/tlx3005.mp3"));
        ASSERT_TRUE(QFile::copy(volume_ + "/tlx3001.mp3", volume_ + "/tlx3006.mp3"));
    }

    CommandRun lexbay(const QStringList& arguments)
    {
        QProcess process;
        process.start("env", QStringList{"-u", "DISPLAY", "XDG_DATA_HOME=" + home_.path(),
                                         QString(LEXBAY_APP_DIR) + "/Lexbay", "--export-anki"} +
                                 arguments);
        process.waitForFinished(120000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString output(const QString& name) const { return outputs_.filePath(name); }

    QTemporaryDir home_;
    QTemporaryDir outputs_;
    QString volume_;
};

QJsonObject jsonColumn(QSqlDatabase db, const QString& column)
{
    QSqlQuery query("SELECT " + column + " FROM col", db);
    query.next();
    return QJsonDocument::fromJson(query.value(0).toString().toUtf8()).object();
}

QStringList fieldNames(const QJsonObject& model)
{
    QStringList names;
    for (const QJsonValue field : model["flds"].toArray())
        names << field["name"].toString();
    return names;
}

// The number a media file is stored under in the package, empty when the
// media map does not name it.
QString mediaNumber(const QJsonObject& media, const QString& fileName)
{
    for (auto entry = media.begin(); entry != media.end(); ++entry) {
        if (entry->toString() == fileName)
            return entry.key();
    }
    return {};
}

QStringList noteGuids(const QString& package)
{
    AnkiPackageReader reader(package);
    QStringList guids;
    QSqlQuery query("SELECT guid FROM notes ORDER BY guid", reader.collection());
    while (query.next())
        guids << query.value(0).toString();
    return guids;
}

TEST_F(AnkiExportTest, LessonPackageHoldsWhatAnkisImporterReads)
{
    const CommandRun run = lexbay({"--volume", kVolume, "--lesson", kLesson, output("tones.apkg")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    AnkiPackageReader package(output("tones.apkg"));
    ASSERT_TRUE(package.error.isEmpty()) << package.error.toStdString();
    EXPECT_EQ(package.entries.keys(), (QStringList{"0", "1", "2", "collection.anki2", "media"}));
    const QJsonObject media = QJsonDocument::fromJson(package.entries.value("media")).object();

    QSqlDatabase db = package.collection();
    QSqlQuery col("SELECT ver, crt > 0, mod > 0 FROM col", db);
    ASSERT_TRUE(col.next());
    EXPECT_EQ(col.value(0).toInt(), 11);
    const QJsonObject models = jsonColumn(db, "models");
    ASSERT_EQ(models.size(), 1);
    const QJsonObject model = models.begin()->toObject();
    EXPECT_EQ(model["name"].toString(), "Lexbay 句子");
    EXPECT_EQ(model["id"].toVariant().toString(), models.begin().key());
    EXPECT_EQ(fieldNames(model), (QStringList{"English", "Chinese", "Audio", "Lesson", "Sentence number"}));
    const QJsonArray templates = model["tmpls"].toArray();
    ASSERT_EQ(templates.size(), 2);
    EXPECT_EQ(templates[0]["qfmt"].toString(), "{{Audio}}");
    EXPECT_TRUE(templates[0]["afmt"].toString().contains("{{English}}"));
    EXPECT_TRUE(templates[1]["qfmt"].toString().contains("{{English}}"));
    EXPECT_TRUE(templates[1]["afmt"].toString().contains("{{Audio}}"));
    EXPECT_EQ(jsonColumn(db, "conf")["curModel"].toVariant().toString(), models.begin().key());
    EXPECT_TRUE(jsonColumn(db, "dconf").contains("1"));
    QString deckId;
    const QJsonObject decks = jsonColumn(db, "decks");
    for (auto deck = decks.begin(); deck != decks.end(); ++deck) {
        if (deck->toObject()["name"].toString() == "Lexbay::" + kVolume)
            deckId = deck.key();
    }
    ASSERT_FALSE(deckId.isEmpty());

    QSqlQuery notes("SELECT id, mid, flds, sfld FROM notes ORDER BY id", db);
    int n = 0;
    for (; notes.next(); ++n) {
        ASSERT_LT(n, 3);
        EXPECT_EQ(notes.value(1).toString(), models.begin().key());
        const QStringList fields = notes.value(2).toString().split(QChar(0x1F));
        ASSERT_EQ(fields.size(), 5);
        EXPECT_EQ(fields[0], kEnglish[n].toHtmlEscaped());
        EXPECT_EQ(notes.value(3).toString(), fields[0]);
        EXPECT_EQ(fields[1], kChinese[n]);
        EXPECT_EQ(fields[3], kLesson);
        EXPECT_EQ(fields[4], QString::number(n + 1));
        // The sound reference names a clip the media map holds.
        ASSERT_TRUE(fields[2].startsWith("[sound:") && fields[2].endsWith("]"));
        const QString clip = fields[2].mid(7).chopped(1);
        const QString number = mediaNumber(media, clip);
        ASSERT_FALSE(number.isEmpty()) << clip.toStdString();
        const DecodedAudio audio = decodeAudio(package.extract(number, clip));
        ASSERT_TRUE(audio.ok()) << audio.error.toStdString();
        EXPECT_NEAR(audio.seconds(), kClipSeconds[n], 0.010) << "sentence " << n + 1;
        QSqlQuery cards(
            QString("SELECT ord, did FROM cards WHERE nid = %1 ORDER BY ord").arg(notes.value(0).toLongLong()), db);
        for (int order = 0; order < 2; ++order) {
            ASSERT_TRUE(cards.next());
            EXPECT_EQ(cards.value(0).toInt(), order);
            EXPECT_EQ(cards.value(1).toString(), deckId);
        }
        EXPECT_FALSE(cards.next());
    }
    EXPECT_EQ(n, 3);
}

TEST_F(AnkiExportTest, VideoLessonNotesCarryTheFrameFromEachSentencesMiddle)
{
    const QStringList audioFields{"English", "Chinese", "Audio", "Lesson", "Sentence number"};
    const struct {
        const char* what;
        QSize video;
        QString pixelShape;
        bool there;
        QSize picture;
    } cases[] = {
        {"a wide video, scaled down", {960, 540}, "1/1", true, {640, 360}},
        {"a small video, never enlarged", {320, 240}, "1/1", true, {320, 240}},
        {"pixels wider than high, shown at their shape", {480, 360}, "4/3", true, {640, 360}},
        {"a video moved away: audio notes", {320, 240}, "1/1", false, {}},
    };
    int row = 0;
    // A sentence's note with a picture and its note without are never one
    // note under two note types, which Anki's import would not update.
    QSet<QString> pictureGuids, audioGuids;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString video = home_.filePath(QString("影片 %1/第 %1 集.mp4").arg(++row));
        if (c.there) {
            ASSERT_TRUE(makeColourVideo(video, c.video.width(), c.video.height(), c.pixelShape));
        }
        writeFile(volume_ + "/tlx3005.video.txt", video.toUtf8());
        const QString packageFile = output(QString("video%1.apkg").arg(row));
        const CommandRun run = lexbay({"--volume", kVolume, "--lesson", kVideoLesson, packageFile});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.count(video), c.there ? 0 : 1) << run.err.toStdString();

        AnkiPackageReader package(packageFile);
        ASSERT_TRUE(package.error.isEmpty()) << package.error.toStdString();
        const QJsonObject models = jsonColumn(package.collection(), "models");
        ASSERT_EQ(models.size(), 1);
        const QJsonObject model = models.begin()->toObject();
        EXPECT_EQ(model["name"].toString(), c.there ? "Lexbay 视频句子" : "Lexbay 句子");
        EXPECT_EQ(fieldNames(model), c.there ? audioFields + QStringList{"Picture"} : audioFields);
        EXPECT_EQ(model["tmpls"].toArray().first().toObject()["qfmt"].toString().contains("{{Picture}}"), c.there);
        const QJsonObject media = QJsonDocument::fromJson(package.entries.value("media")).object();
        EXPECT_EQ(media.size(), c.there ? 6 : 3);

        QSqlQuery notes("SELECT mid, flds FROM notes ORDER BY id", package.collection());
        int n = 0;
        for (; notes.next(); ++n) {
            ASSERT_LT(n, 3);
            EXPECT_EQ(notes.value(0).toString(), models.begin().key());
            const QStringList fields = notes.value(1).toString().split(QChar(0x1F));
            ASSERT_EQ(fields.size(), c.there ? 6 : 5);
            EXPECT_EQ(fields[0], kEnglish[n].toHtmlEscaped());
            if (!c.there)
                continue;
            ASSERT_TRUE(fields[5].startsWith("<img src=\"") && fields[5].endsWith("\">")) << fields[5].toStdString();
            const QString picture = fields[5].mid(10).chopped(2);
            const QImage image = QImage::fromData(package.entries.value(mediaNumber(media, picture)), "JPEG");
            ASSERT_FALSE(image.isNull()) << picture.toStdString();
            EXPECT_EQ(image.size(), c.picture);
            const QRgb seen = image.pixel(image.width() / 2, image.height() / 2);
            EXPECT_TRUE(nearColour(seen, kSecondColours[int(kMiddles[n])]))
                << "sentence " << n + 1 << " shows #" << std::hex << seen;
        }
        EXPECT_EQ(n, 3);
        for (const QString& guid : noteGuids(packageFile))
            (c.there ? pictureGuids : audioGuids).insert(guid);
    }
    EXPECT_EQ(pictureGuids.size(), 3) << "each export of the video lesson updates the same notes";
    EXPECT_EQ(audioGuids.size(), 3);
    EXPECT_FALSE(pictureGuids.intersects(audioGuids));
}

// A package from an audio lesson and a video lesson, as the study record's
// sentences make one: each note in its own lesson's note type.
TEST_F(AnkiExportTest, AudioAndVideoNotesShareAPackageEachWithItsNoteType)
{
    const QString video = home_.filePath("colours.mp4");
    ASSERT_TRUE(makeColourVideo(video, 320, 240));
    writeFile(volume_ + "/tlx3005.video.txt", video.toUtf8());
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    // The learner's own books, where a lesson's video is looked for.
    const CourseVolume volume = findVolume(kVolume, {QString(), home_.filePath("Lexbay/books")});
    const QList<ExportSentence> sentences =
        lessonSentences(library, volume, 0).sentences + lessonSentences(library, volume, 4).sentences;
    ASSERT_EQ(sentences.size(), 6);
    const AnkiExportResult result = exportAnkiPackage(sentences, output("both.apkg"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    AnkiPackageReader package(output("both.apkg"));
    const QJsonObject models = jsonColumn(package.collection(), "models");
    ASSERT_EQ(models.size(), 2);
    // Each note has as many fields as its note type names.
    QSqlQuery notes("SELECT mid, flds FROM notes ORDER BY id", package.collection());
    QList<int> fieldCounts;
    while (notes.next()) {
        fieldCounts << notes.value(1).toString().split(QChar(0x1F)).size();
        EXPECT_EQ(fieldNames(models[notes.value(0).toString()].toObject()).size(), fieldCounts.last());
    }
    EXPECT_EQ(fieldCounts, (QList<int>{5, 5, 5, 6, 6, 6}));
    EXPECT_EQ(QJsonDocument::fromJson(package.entries.value("media")).object().size(), 9);
}

TEST_F(AnkiExportTest, ExportingTwiceGivesTheSameNotes)
{
    ASSERT_EQ(lexbay({"--volume", kVolume, "--lesson", kLesson, output("first.apkg")}).code, 0);
    ASSERT_EQ(lexbay({"--volume", kVolume, "--lesson", kLesson, output("second.apkg")}).code, 0);
    QStringList first = noteGuids(output("first.apkg"));
    EXPECT_EQ(first.size(), 3);
    EXPECT_EQ(first.removeDuplicates(), 0);
    EXPECT_EQ(noteGuids(output("second.apkg")), first);
}

// The word book as the window keeps it: "second" met in sentence 2 of the
// tones, "tone" in a sentence its lesson no longer has, "louder" in no
// sentence.
TEST_F(AnkiExportTest, TheWordBookGoesOutOneNotePerWordWithItsSentencesClip)
{
    EXPECT_EQ(lexbay({"--words", output("none.apkg")}).err, "lexbay: 生词本里还没有词\n");
    {
        StudyRecord record(home_.filePath("Lexbay/study.sqlite"));
        auto keep = [&](const QString& word, const QString& form, int number, const QString& english) {
            RecordEvent e;
            e.kind = RecordEvent::WordSaved;
            e.at = 1000 + number;
            e.word = word;
            e.forms = {word};
            e.form = form;
            if (number >= 0)
                e.sentence = {kVolume, kLesson, number, "h", english, "中文"};
            record.add(e);
        };
        keep("second", "second", 1, kEnglish[1]);
        keep("tone", "tones", 7, "Seven tones.");
        keep("loud", "louder", -1, "");
    }
    const CommandRun run = lexbay({"--words", output("words.apkg")});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "已写入 " + output("words.apkg") + "：3 个词\n");

    AnkiPackageReader package(output("words.apkg"));
    ASSERT_EQ(package.error, "");
    EXPECT_EQ(package.entries.keys(), (QStringList{"0", "collection.anki2", "media"})) << "one clip: the one heard";
    const QJsonObject models = jsonColumn(package.collection(), "models");
    ASSERT_EQ(models.size(), 1);
    const QJsonObject model = models.begin()->toObject();
    EXPECT_EQ(model["name"].toString(), "Lexbay 单词");
    EXPECT_EQ(fieldNames(model),
              (QStringList{"Word", "Phonetic", "Meaning", "Sentence", "Chinese", "Audio", "Lesson"}));
    QMap<QString, QStringList> notes;
    QSqlQuery query("SELECT flds FROM notes", package.collection());
    while (query.next()) {
        const QStringList fields = query.value(0).toString().split(QChar(0x1F));
        notes.insert(fields.first(), fields);
    }
    ASSERT_EQ(notes.keys(), (QStringList{"loud", "second", "tone"}));
    const QStringList second = notes["second"];
    EXPECT_TRUE(second[2].contains("第二")) << second[2].toStdString();
    EXPECT_EQ(second[3], "A <b>second</b> one, louder?");
    const QJsonObject media = QJsonDocument::fromJson(package.entries["media"]).object();
    EXPECT_EQ(second[5], "[sound:" + media["0"].toString() + "]");
    EXPECT_EQ(second[6], kVolume + " · " + kLesson);
    EXPECT_EQ(notes["tone"][3], "Seven <b>tones</b>.");
    EXPECT_EQ(notes["tone"][5], "") << "its lesson has no such sentence";
    EXPECT_EQ(notes["loud"][3], "");
    QSqlQuery cards("SELECT COUNT(*) FROM cards", package.collection());
    ASSERT_TRUE(cards.next());
    EXPECT_EQ(cards.value(0).toInt(), 3) << "one card a word";

    // Exported again, the notes are the same notes.
    ASSERT_EQ(lexbay({"--words", output("again.apkg")}).code, 0);
    EXPECT_EQ(noteGuids(output("again.apkg")), noteGuids(output("words.apkg")));
    EXPECT_EQ(lexbay({"--words", output("x.apkg"), "--volume", kVolume}).code, 2);
}

TEST_F(AnkiExportTest, FailuresSayWhatFailedAndLeaveNoPackage)
{
    writeFile(output("kept.apkg"), "an earlier package");
    ASSERT_TRUE(QDir().mkpath(output("folder.apkg")));
    const struct {
        const char* what;
        QStringList arguments;
        QString target;
        QString message;
    } cases[] = {
        {"unknown volume", {"--volume", "Trellis英语第9册"}, output("a.apkg"), "找不到课本“Trellis英语第9册”"},
        {"a path for a volume", {"--volume", "../Lexbay/books/" + kVolume}, output("a.apkg"), "找不到课本"},
        {"a recording that is no sound", {"--volume", kVolume, "--lesson", kLessonNotSound}, output("a.apkg"),
         "无法读取"},
        {"timing out of order", {"--volume", kVolume, "--lesson", kLessonOutOfOrder}, output("a.apkg"), "时间不对"},
        {"a video without a picture", {"--volume", kVolume, "--lesson", kLessonVideoWithoutPicture}, output("a.apkg"),
         "tlx3006.mp3”：其中没有画面"},
        {"unknown lesson", {"--volume", kVolume, "--lesson", "Lesson 9"}, output("a.apkg"), "没有课文“Lesson 9”"},
        {"missing recording", {"--volume", kVolume, "--lesson", kLessonWithoutRecording}, output("a.apkg"), "缺少录音"},
        {"whole volume, one recording missing", {"--volume", kVolume}, output("kept.apkg"), "缺少录音"},
        {"no such folder", {"--volume", kVolume, "--lesson", kLesson}, output("none/a.apkg"), "文件夹不存在"},
        {"a folder as the package", {"--volume", kVolume, "--lesson", kLesson}, output("folder.apkg"), "是文件夹"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CommandRun run = lexbay(c.arguments + QStringList{c.target});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(QDir(outputs_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"folder.apkg", "kept.apkg"}));
    EXPECT_EQ(readFile(output("kept.apkg")), "an earlier package");
}

// The sentences the study record names, as the window's export of hard
// sentences takes them: in the order named, each from its lesson.
TEST_F(AnkiExportTest, RecordedSentencesAreTakenInTheOrderNamed)
{
    const auto key = [](const QString& volume, const QString& lesson, int number) {
        SentenceKey k;
        k.volume = volume;
        k.lesson = lesson;
        k.number = number;
        return k;
    };
    const struct {
        const char* what;
        QVector<SentenceKey> keys;
        QStringList english;
        QString error;
        QString missingVolume;
    } cases[] = {
        {"across the lesson, a position beyond it passed over",
         {key(kVolume, kLesson, 2), key(kVolume, kLesson, 0), key(kVolume, kLesson, 7)},
         {kEnglish[2], kEnglish[0]}, {}, {}},
        {"a lesson the volume no longer has", {key(kVolume, kLesson, 0), key(kVolume, "Lesson 9", 0)}, {},
         "没有课文“Lesson 9”", {}},
        {"a volume the run does not see", {key(kVolume, kLesson, 1), key("Trellis英语第9册", kLesson, 0)}, {}, {},
         "Trellis英语第9册"},
    };
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString missing;
        const LessonSentences chosen = recordedSentences(library, {home_.filePath("Lexbay/books")}, c.keys, &missing);
        QStringList english;
        for (const ExportSentence& sentence : chosen.sentences)
            english << sentence.english;
        EXPECT_EQ(english, c.english);
        EXPECT_TRUE(c.error.isEmpty() ? chosen.error.isEmpty() : chosen.error.contains(c.error))
            << chosen.error.toStdString();
        EXPECT_EQ(missing, c.missingVolume);
    }
}

TEST_F(AnkiExportTest, CancelledJobEndsWithoutAPackage)
{
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const LessonSentences lesson = lessonSentences(library, findVolume(kVolume, {home_.filePath("Lexbay/books")}), 0);
    ASSERT_EQ(lesson.sentences.size(), 3) << lesson.error.toStdString();
    AnkiExportJob job(lesson.sentences, output("cancelled.apkg"), kDefaultPaddingMs);
    QList<int> done;
    // On the job's thread, so the cancel is seen before the next clip.
    QObject::connect(
        &job, &AnkiExportJob::progressed, &job,
        [&](int clips) {
            done << clips;
            job.cancel();
        },
        Qt::DirectConnection);
    AnkiExportResult result;
    QEventLoop loop;
    QObject::connect(&job, &AnkiExportJob::finished, &loop, [&](const AnkiExportResult& ended) {
        result = ended;
        loop.quit();
    });
    job.start();
    loop.exec();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(done, QList<int>{1});
    EXPECT_TRUE(QDir(outputs_.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

}  // namespace
