// Broken course folders through the real window: each row breaks one thing
// in a copy of the program folder, starts the window, works through every
// study mode, and closes it. Every row must start up, survive the work-out
// and close without a crash or a hang (each step is bounded by a watchdog),
// say what is wrong and where when the learner must act, and leave a
// settings file the next start can read.

#include "CourseFolder.h"
#include "CourseWindow.h"
#include "Watchdog.h"
#include "WriteProtection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

namespace {

using course::kVolume;

const char* const kSettingKeys[] = {"ShowChinese",   "ShouldRepeatTimes", "GapSetting",  "SpellShowChinese",
                                    "SpellShowEnglish", "SpellAutoSnd",   "CurVolumeNo", "CurLessonNo"};

// The sample course's first volume: four lessons, the first with 8 sentences.
constexpr int kLessons = 4;
constexpr int kSentences = 8;

struct Case {
    const char* name;
    std::function<void(const QString& folder)> breakIt;
    // What the learner is told at start-up: pieces of the one message shown
    // then (the folder's path stands for "%1"); empty when nothing is shown.
    QStringList startupMessage;
    int lessons;
    int sentences;
    // A piece of the status bar's notice after the work-out; empty when
    // there is none.
    QString notice;
    Audio audio = Audio::Silent;
    // The program folder is read-only while the window runs.
    bool readOnly = false;
    // Further checks after the window closed.
    std::function<void(const QString& folder)> afterClose = {};
};

QString file(const QString& folder, const QString& name) { return folder + "/" + kVolume + "/" + name; }

void replaceFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    course::write(file(folder, name), bytes);
}

QByteArray shipped(const QString& name) { return course::read(QString(LEXBAY_APP_DIR) + "/" + kVolume + "/" + name); }

QByteArray lfOnly(QByteArray text) { return text.replace("\r\n", "\n"); }

// The shipped lesson text with each English line's sentence cut by a zero
// byte.
QByteArray withNulBytes()
{
    QByteArray out;
    for (QByteArray line : course::lines(shipped("lesson.txt"))) {
        if (line.size() > 4 && line[0] >= '1' && line[0] <= '9')
            line.insert(4, '\0');
        out += line;
    }
    return out;
}

// The first English line of the first lesson made 1500 bytes long.
QByteArray withLongLine()
{
    QList<QByteArray> lines = course::lines(shipped("lesson.txt"));
    lines[1] = "1. " + QByteArray(1500, 'a') + ".\r\n";
    return lines.join();
}

QByteArray fiftyMegabytes()
{
    QByteArray text = shipped("lesson.txt") + "\r\n";
    const QByteArray filler = QByteArray(996, 'x') + "\r\n";
    while (text.size() < 50 * 1024 * 1024)
        text += filler;
    return text;
}

// A first lesson of 3000 sentences.
QByteArray longLesson()
{
    QByteArray text = "$Long lesson\r\n";
    for (int n = 1; n <= 3000; ++n)
        text += QByteArray::number(n) + ". Sentence number " + QByteArray::number(n) + ".\r\nzh\r\n";
    return text + shipped("lesson.txt");
}

QByteArray timingLines(int from, int count)
{
    return course::lines(shipped("tlx1001.lrc")).mid(from, count).join();
}

QByteArray reversedTiming()
{
    QList<QByteArray> lines = course::lines(shipped("tlx1001.lrc"));
    std::reverse(lines.begin(), lines.end());
    return lines.join();
}

QByteArray singleDigitMinutes() { return shipped("tlx1001.lrc").replace("[00:", "[0:"); }

void writeSettingsFile(const QString& folder, const QString& value)
{
    std::vector<std::pair<QString, QString>> values;
    for (const char* key : kSettingKeys)
        values.emplace_back(key, value);
    writeSettings(folder + "/settings.ini", values);
}

int storedSetting(const QString& folder, const char* key)
{
    return QSettings(folder + "/settings.ini", QSettings::IniFormat).value(QString("Options/") + key).toInt();
}

// A settings file the window wrote back holds every key as a number; a
// read-only folder keeps the file as it was.
void expectSettingsReadable(const QString& settingsFile)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    ASSERT_EQ(settings.status(), QSettings::NoError);
    for (const char* key : kSettingKeys) {
        bool isNumber = false;
        settings.value(QString("Options/") + key).toString().toInt(&isNumber);
        EXPECT_TRUE(isNumber) << key << " = " << settings.value(QString("Options/") + key).toString().toStdString();
    }
}

const QString kNoBooks = QStringLiteral("没有找到课本");
// Any notice at all in the status bar.
const QString kSomeNotice = QStringLiteral("*");
const QString kNoLessons = QStringLiteral("中没有课文");

const Case kCases[] = {
    // ----- books/ and volume folders -----
    {"NoBooksFolder", [](const QString& f) { course::remove(f + "/books"); }, {kNoBooks, "%1/books"}, 0, 0, ""},
    {"EmptyBooksFolder",
     [](const QString& f) {
         course::remove(f + "/books");
         QDir(f).mkdir("books");
     },
     {kNoBooks, "%1/books"}, 0, 0, ""},
    {"BooksHoldNoVolumeFolder",
     [](const QString& f) {
         course::remove(f + "/books");
         QDir(f).mkpath("books/Trellis英语第1册.old");
         QDir(f).mkpath("books/.Trellis英语第1册");
         course::write(f + "/books/Trellis英语第2册", "not a folder");
     },
     // A file named like a volume is listed as one (the listing takes
     // entries of either kind); the learner is told it holds no lessons.
     {kNoLessons, "%1/books/Trellis英语第2册/lesson.txt"}, 0, 0, ""},
    {"VolumeWithoutLessonText", [](const QString& f) { course::remove(file(f, "lesson.txt")); },
     {kNoLessons, QString("%1/") + kVolume + "/lesson.txt"}, 0, 0, ""},
    {"VolumeWithoutWordList", [](const QString& f) { course::remove(file(f, "words.txt")); }, {}, kLessons,
     kSentences, ""},
    {"VolumeWithoutRecordings",
     [](const QString& f) {
         for (const QString& name : QDir(f + "/" + kVolume).entryList({"tlx*"}))
             course::remove(file(f, name));
     },
     {}, kLessons, kSentences, "tlx100"},
    {"VolumeFolderNameWithoutDigit",
     [](const QString& f) {
         QDir(f).rename("books/Trellis英语第2册", "books/Trellis英语高级");
         writeSettings(f + "/settings.ini", {{"CurVolumeNo", "1"}});
     },
     // Without a digit the volume counts as the first: its recordings are
     // looked for as tlx1…, which the folder does not hold.
     {}, kLessons, 10, "tlx100"},
    {"CourseFileNamesInUpperCase",
     [](const QString& f) {
         for (const char* name : {"lesson.txt", "words.txt", "tlx1001.mp3", "tlx1001.lrc"})
             QDir(f + "/" + kVolume).rename(name, QString(name).toUpper());
     },
     {}, kLessons, kSentences, ""},

    // ----- lesson.txt -----
    {"LessonTextEmpty", [](const QString& f) { replaceFile(f, "lesson.txt", ""); },
     {kNoLessons, QString("%1/") + kVolume + "/lesson.txt"}, 0, 0, ""},
    {"LessonTextBinaryJunk", [](const QString& f) { replaceFile(f, "lesson.txt", course::junk(65536, "$")); },
     {kNoLessons, "lesson.txt"}, 0, 0, ""},
    {"LessonTextIsAFolder",
     [](const QString& f) {
         course::remove(file(f, "lesson.txt"));
         QDir(f + "/" + kVolume).mkdir("lesson.txt");
     },
     {kNoLessons, "lesson.txt"}, 0, 0, ""},
    {"LessonTextWithNulBytes", [](const QString& f) { replaceFile(f, "lesson.txt", withNulBytes()); }, {}, kLessons,
     kSentences, ""},
    {"LessonTextUtf8ByteOrderMark",
     [](const QString& f) { replaceFile(f, "lesson.txt", "\xEF\xBB\xBF" + shipped("lesson.txt")); },
     // The first header is not at a line start any more: the first lesson
     // is not listed, and the list starts with the second (8 sentences).
     {}, kLessons - 1, 8, ""},
    {"LessonTextLineFeedsOnly", [](const QString& f) { replaceFile(f, "lesson.txt", lfOnly(shipped("lesson.txt"))); },
     {}, kLessons, kSentences, ""},
    {"LessonTextLineOver997Bytes", [](const QString& f) { replaceFile(f, "lesson.txt", withLongLine()); },
     // The long line arrives in two pieces, so every later line shifts by
     // one: the second lesson's header is read as a Chinese line and that
     // lesson joins the first, up to the third lesson's header.
     {}, kLessons, 17, ""},
    {"LessonTextOf50Megabytes", [](const QString& f) { replaceFile(f, "lesson.txt", fiftyMegabytes()); }, {},
     kLessons, kSentences, ""},
    {"LessonOfThreeThousandSentences", [](const QString& f) { replaceFile(f, "lesson.txt", longLesson()); }, {},
     kLessons + 1, 3000, ""},
    {"LessonTextHeadersOnly",
     [](const QString& f) { replaceFile(f, "lesson.txt", "$Lesson 1\r\n$Lesson 2\r\n$Lesson 3\r\n"); }, {}, 3, 0,
     ""},
    {"LessonTextEndsAfterEnglishLine",
     [](const QString& f) { replaceFile(f, "lesson.txt", "$Lesson 1\r\n1. Hello.\r\n2. Goodbye.\r\n3. Again."); },
     // The last English line has no Chinese line after it.
     {}, 1, 2, ""},
    {"LessonTextBeginsWithEmptyLine",
     [](const QString& f) { replaceFile(f, "lesson.txt", "\r\n" + shipped("lesson.txt")); }, {}, kLessons, 0, ""},

    // ----- words.txt -----
    {"WordListCutShort",
     [](const QString& f) { replaceFile(f, "words.txt", course::lines(shipped("words.txt")).mid(0, 3).join()); }, {},
     kLessons, kSentences, ""},
    {"WordListBinaryJunk", [](const QString& f) { replaceFile(f, "words.txt", course::junk(65536)); }, {}, kLessons,
     kSentences, ""},

    // ----- timing files -----
    {"TimingFewerLinesThanSentences", [](const QString& f) { replaceFile(f, "tlx1001.lrc", timingLines(0, 2)); }, {},
     kLessons, kSentences, ""},
    {"TimingMoreLinesThanSentences",
     [](const QString& f) { replaceFile(f, "tlx1001.lrc", shipped("tlx1001.lrc").repeated(3)); }, {}, kLessons,
     kSentences, ""},
    {"TimingDescending", [](const QString& f) { replaceFile(f, "tlx1001.lrc", reversedTiming()); }, {}, kLessons,
     kSentences, ""},
    {"TimingTagLines",
     [](const QString& f) {
         replaceFile(f, "tlx1001.lrc", "[ti:Lesson 1]\r\n[ar:Trellis]\r\n[by:]\r\n" + shipped("tlx1001.lrc"));
     },
     {}, kLessons, kSentences, ""},
    {"TimingSingleDigitMinutes", [](const QString& f) { replaceFile(f, "tlx1001.lrc", singleDigitMinutes()); }, {},
     kLessons, kSentences, ""},
    {"TimingEmpty", [](const QString& f) { replaceFile(f, "tlx1001.lrc", ""); }, {}, kLessons, kSentences, ""},
    {"TimingBinaryJunk", [](const QString& f) { replaceFile(f, "tlx1001.lrc", course::junk(8192)); }, {}, kLessons,
     kSentences, ""},
    {"TimingMissing", [](const QString& f) { course::remove(file(f, "tlx1001.lrc")); }, {}, kLessons, kSentences, ""},

    // ----- recordings -----
    {"RecordingMissing", [](const QString& f) { course::remove(file(f, "tlx1001.mp3")); }, {}, kLessons, kSentences,
     "tlx1001.mp3"},
    {"RecordingZeroBytes", [](const QString& f) { replaceFile(f, "tlx1001.mp3", ""); }, {}, kLessons, kSentences,
     "tlx1001.mp3"},
    {"RecordingTruncated",
     [](const QString& f) { replaceFile(f, "tlx1001.mp3", shipped("tlx1001.mp3").left(3000)); }, {}, kLessons,
     kSentences, ""},
    {"RecordingNotAnMp3", [](const QString& f) { replaceFile(f, "tlx1001.mp3", shipped("lesson.txt")); }, {},
     kLessons, kSentences, "tlx1001.mp3"},

    // ----- shipped files -----
    {"PageHeadMissing", [](const QString& f) { course::remove(f + "/htmlhead.txt"); }, {}, kLessons, kSentences, ""},
    {"WordPageHeadMissing", [](const QString& f) { course::remove(f + "/htmlheadwords.txt"); }, {}, kLessons,
     kSentences, ""},
    {"SoundPictureMissing", [](const QString& f) { course::remove(f + "/sound.jpg"); }, {}, kLessons, kSentences,
     ""},
    {"BlankTakeMissing", [](const QString& f) { course::remove(f + "/userblank.wav"); }, {}, kLessons, kSentences,
     "userblank.wav"},
    // The take is recorded in the recorder's own format instead.
    {"BlankTakeBroken", [](const QString& f) { course::write(f + "/userblank.wav", course::junk(4096)); }, {},
     kLessons, kSentences, ""},

    // ----- settings -----
    {"SettingsNotNumbers", [](const QString& f) { writeSettingsFile(f, "abc"); }, {}, kLessons, kSentences, "",
     Audio::Silent, false,
     [](const QString& f) {
         // Every option falls back to its default and is written back so.
         EXPECT_EQ(storedSetting(f, "ShowChinese"), 1);
         EXPECT_EQ(storedSetting(f, "ShouldRepeatTimes"), 1);
         EXPECT_EQ(storedSetting(f, "SpellAutoSnd"), 1);
     }},
    {"SettingsHugeNumbers", [](const QString& f) { writeSettingsFile(f, "99999999999999999999"); }, {}, kLessons,
     kSentences, "", Audio::Silent, false,
     [](const QString& f) { EXPECT_EQ(storedSetting(f, "ShouldRepeatTimes"), 1); }},
    {"SettingsNegativeNumbers", [](const QString& f) { writeSettingsFile(f, "-5"); }, {}, kLessons, kSentences, "",
     Audio::Silent, false,
     [](const QString& f) {
         EXPECT_EQ(storedSetting(f, "CurVolumeNo"), 0);
         EXPECT_EQ(storedSetting(f, "GapSetting"), 0);
     }},
    {"SettingsGarbageBytes", [](const QString& f) { course::write(f + "/settings.ini", course::junk(4096)); }, {},
     kLessons, kSentences, ""},
    {"SettingsPlaceBeyondTheCourse",
     [](const QString& f) { writeSettings(f + "/settings.ini", {{"CurVolumeNo", "7"}, {"CurLessonNo", "999"}}); }, {},
     kLessons, kSentences, ""},

    // ----- files and devices the program writes to -----
    {"ProgramFolderReadOnly",
     [](const QString& f) {
         writeSettingsFile(f, "0");
         QFile::setPermissions(f, QFile::ReadOwner | QFile::ExeOwner);
     },
     {"%1/curLesson.htm", "不可写"}, kLessons, 0, "yourvoice.wav", Audio::Silent, true},
    {"TakeReadOnly",
     [](const QString& f) {
         QFile::copy(f + "/userblank.wav", f + "/yourvoice.wav");
         QFile::setPermissions(f + "/yourvoice.wav", QFile::ReadOwner);
     },
     {}, kLessons, kSentences, "", Audio::Silent, true},
    {"WelcomePageReadOnly",
     [](const QString& f) {
         course::write(f + "/homepage.htm", "stale");
         QFile::setPermissions(f + "/homepage.htm", QFile::ReadOwner);
     },
     {}, kLessons, kSentences, "", Audio::Silent, true,
     [](const QString& f) { EXPECT_NE(course::read(f + "/homepage.htm"), "stale"); }},
    {"NoAudioDevice", {}, {}, kLessons, kSentences, kSomeNotice, Audio::Unavailable},
};

void click(QAbstractButton* button)
{
    if (button->isEnabled())
        button->click();
}

void clickMode(MainForm& f, const char* key) { click(f.findChild<QToolButton*>(key)); }

// Works through every study mode of the window as a learner would.
void workOut(MainForm& f, Watchdog& dog)
{
    dog.step("play a sentence");
    if (f.session().sentenceCount() > 0)
        f.playback().PlaySentence(0, true);
    settle(300);

    dog.step("auto-browse");
    clickMode(f, "btBrowse");
    settle(800);
    clickMode(f, "btBrowse");

    dog.step("reverse dictation");
    clickMode(f, "btSpell");
    click(ui(f).btSpellNext);
    click(ui(f).btSpellNext);
    click(ui(f).btSpellPrev);
    click(ui(f).btSpellSound);
    click(ui(f).btSpellHint);
    settle(100);
    clickMode(f, "btSpell");

    dog.step("recall English");
    clickMode(f, "btThinkEnglish");
    settle(50);
    clickMode(f, "btThinkEnglish");

    dog.step("vocabulary");
    clickMode(f, "btWords");
    settle(50);
    clickMode(f, "btWords");

    dog.step("comparison: record and stop");
    clickMode(f, "btCompare");
    click(ui(f).btRecord);
    settle(400);
    click(ui(f).btCompareStop);
    settle(400);
    dog.step("comparison: standard, next, leave");
    click(ui(f).btStandard);
    settle(200);
    click(ui(f).btCompareNext);
    settle(100);
    clickMode(f, "btCompare");

    dog.step("another lesson");
    if (ui(f).lsLesson->count() > 1)
        ui(f).lsLesson->setCurrentRow(1);
    settle(100);
}

QString withFolder(QString text, const QString& folder) { return text.replace("%1", folder); }

class MalformedCourse : public ::testing::TestWithParam<Case> {};

TEST_P(MalformedCourse, StartsWorksAndClosesCleanly)
{
    const Case& c = GetParam();
    Watchdog dog(c.name);
    // The protection ends before the window and its folder go.
    std::optional<CourseWindow> window;
    std::optional<WriteProtection> protection;
    if (c.readOnly)
        protection.emplace();
    window.emplace(c.breakIt, c.audio);
    const QString folder = window->folder();
    const QByteArray settingsBefore = course::read(window->settingsFile());

    dog.step("start-up");
    MainForm& f = window->start();
    const QStringList atStart = window->boxes().shown;
    if (c.startupMessage.isEmpty()) {
        EXPECT_EQ(atStart, QStringList()) << "no message expected at start-up";
    } else {
        ASSERT_EQ(atStart.size(), 1) << atStart.join(" | ").toStdString();
        for (const QString& piece : c.startupMessage)
            EXPECT_TRUE(atStart[0].contains(withFolder(piece, folder)))
                << atStart[0].toStdString() << "\n lacks: " << withFolder(piece, folder).toStdString();
    }
    EXPECT_EQ(ui(f).lsLesson->count(), c.lessons);
    EXPECT_EQ(f.session().sentenceCount(), c.sentences);
    if (c.sentences == 0) {
        EXPECT_EQ(ui(f).pnSubStatus->text(), "共 0 句，当前是第 0 句");
    }

    workOut(f, dog);
    const QString notice = ui(f).pnNotice->text();
    if (c.notice.isEmpty()) {
        EXPECT_EQ(notice, "");
    } else {
        EXPECT_TRUE(c.notice == kSomeNotice ? !notice.isEmpty() : notice.contains(c.notice)) << notice.toStdString();
    }

    dog.step("close");
    window->close();
    if (!(QFile::permissions(folder) & QFile::WriteOwner))
        EXPECT_EQ(course::read(window->settingsFile()), settingsBefore) << "the settings file changed";
    else
        expectSettingsReadable(window->settingsFile());
    if (c.afterClose)
        c.afterClose(folder);
}

INSTANTIATE_TEST_SUITE_P(Rows, MalformedCourse, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

}  // namespace
