// The course catalogue and the loading of a lesson.

#include "WindowHarness.h"

#include "platform/system/CourseNames.h"

#include "platform/web/HtmlView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

TEST(VolumeNumber, FirstDigitOneToFourInTestOrderElseOne)
{
    const std::pair<const char*, int> cases[] = {
        {"Trellis英语第1册", 1}, {"Trellis英语第2册", 2}, {"Trellis英语第3册", 3}, {"Trellis英语第4册", 4},
        {"Trellis英语第5册", 1}, {"Trellis英语", 1},       {"Trellis英语31", 1},      {"Trellis英语42", 2},
        {"Trellis英语第34册", 3},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(volumeNumber(name), number) << name;
}

TEST(VolumeList, ListsMatchingFoldersByNameWithoutDottedOrHiddenOnes)
{
    WindowHarness h([](const QString& folder) {
        QDir books(folder + "/books");
        books.mkdir("Trellis英语第0册");
        books.mkdir("Trellis英语.old");
        books.mkdir(".Trellis英语hidden");
        books.mkdir("Other英语");
    });
    MainForm& f = h.load();
    QStringList names;
    for (int i = 0; i < ui(f).cbVolume->count(); ++i)
        names << ui(f).cbVolume->itemText(i);
    EXPECT_EQ(names, QStringList({"Trellis英语第0册", "Trellis英语第1册", "Trellis英语第2册"}));
}

// The learner's own volumes join the shipped ones in one list sorted by name;
// an own volume takes the place of a shipped one of the same name; each entry
// is read from its own folder.
TEST(VolumeList, OwnVolumesJoinTheShippedOnesAndWinOnTheSameName)
{
    namespace fs = std::filesystem;
    const QString one = "Trellis英语第1册", two = "Trellis英语第2册";
    // Copies shipped volume one into the own books folder under a name.
    const auto ownCopy = [one](const QString& folder, const QString& name) {
        fs::create_directories((folder + "/own").toStdString());
        fs::copy((folder + "/books/" + one).toStdString(), (folder + "/own/" + name).toStdString(),
                 fs::copy_options::recursive);
    };
    struct Volume {
        QString name;
        bool own;
        int lessons;
    };
    const struct {
        const char* name;
        std::function<void(const QString& folder)> prepare;
        std::vector<Volume> listed;
    } cases[] = {
        {"NoOwnFolder", {}, {{one, false, 4}, {two, false, 4}}},
        {"NewVolumesSortIn",
         [&](const QString& f) {
             ownCopy(f, "Trellis英语第3册");
             ownCopy(f, "Trellis英语第15册");
         },
         {{"Trellis英语第15册", true, 4}, {one, false, 4}, {two, false, 4}, {"Trellis英语第3册", true, 4}}},
        {"SameNameListedOnceFromTheOwnFolder",
         [&](const QString& f) {
             ownCopy(f, two);
             QFile lesson(f + "/own/" + two + "/lesson.txt");
             lesson.open(QIODevice::Append);
             lesson.write("$Lesson 5 Own\r\n1. Mine.\r\n我的。\r\n");
         },
         {{one, false, 4}, {two, true, 5}}},
        {"DottedAndHiddenOwnEntriesSkipped",
         [&](const QString& f) {
             ownCopy(f, "Trellis英语第3册.old");
             ownCopy(f, ".Trellis英语第3册");
         },
         {{one, false, 4}, {two, false, 4}}},
        {"OwnVolumesMayHaveAnyName", [&](const QString& f) { ownCopy(f, "Audiobook"); },
         {{"Audiobook", true, 4}, {one, false, 4}, {two, false, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowHarness h(c.prepare, "own");
        MainForm& f = h.load();
        ASSERT_EQ(ui(f).cbVolume->count(), int(c.listed.size()));
        for (size_t i = 0; i < c.listed.size(); ++i) {
            const Volume& v = c.listed[i];
            ui(f).cbVolume->setCurrentIndex(int(i));
            EXPECT_EQ(ui(f).cbVolume->currentText(), v.name);
            EXPECT_EQ(ui(f).lsLesson->count(), v.lessons) << v.name.toStdString();
            const QString folder = v.own ? h.folder() + "/own/" + v.name : "books/" + v.name;
            EXPECT_TRUE(h.player().fileName().startsWith(folder + "/")) << h.player().fileName().toStdString();
        }
    }
}

TEST(LessonLoading, BuildsTheElementTablesMarksSentenceZeroAndReadsTheTimes)
{
    WindowHarness h;
    MainForm& f = h.load();
    const int n = f.session().sentenceCount();
    ASSERT_EQ(ui(f).lsLesson->count(), 4);
    ASSERT_EQ(n, 8);

    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(f.session().englishElement(i)->id(), QString("engs%1").arg(i));
        EXPECT_EQ(f.session().chineseElement(i)->id(), QString("chns%1").arg(i));
        EXPECT_TRUE(f.modes().recallEnglish().isEnglishShown(i));
        EXPECT_EQ(h.colourOf(QString("imgs%1").arg(i)), "009933");
        EXPECT_EQ(h.colourOf(QString("chns%1").arg(i)), "666633");
        EXPECT_EQ(h.colourOf(QString("engs%1").arg(i)), i == 0 ? "cc0000" : "009933");
        for (const QString& id : {QString("engs%1").arg(i), QString("imgs%1").arg(i)}) {
            HtmlElement* e = f.session().page()->itemById(id);
            EXPECT_EQ(e->styleCursor(), "hand");
            EXPECT_NE(e->mouseDownHandler(), nullptr);
        }
        EXPECT_EQ(f.session().page()->itemById(QString("chns%1").arg(i))->mouseDownHandler(), nullptr);
    }
    EXPECT_EQ(f.session().englishElement(n), nullptr);
    EXPECT_EQ(f.session().currentSentence(), 0);

    // The time table: one start per sentence from the timing file, strictly
    // increasing, then the recording's duration.
    ASSERT_EQ(f.session().sentenceTimes().size(), size_t(n + 2));
    for (int i = 1; i < n; ++i)
        EXPECT_LT(f.session().sentenceTimes()[i - 1], f.session().sentenceTimes()[i]);
    EXPECT_DOUBLE_EQ(f.session().sentenceTimes()[n], WindowHarness::kRecordingSeconds);
    EXPECT_EQ(h.player().fileName(), "books/Trellis英语第1册/tlx1001.mp3");
    EXPECT_TRUE(h.player().log.contains("stop"));
    EXPECT_FALSE(h.player().log.contains("play"));
    EXPECT_EQ(h.words().navigations().value(0), h.folder() + "/curLessonwords.htm");
}

TEST(LessonLoading, WithoutChineseLinesCollectsOnlyEnglishAndIcons)
{
    WindowHarness h([](const QString& folder) { writeSettings(folder + "/settings.ini", {{"ShowChinese", "0"}}); });
    MainForm& f = h.load();
    EXPECT_EQ(f.session().page()->itemById("chns0"), nullptr);
    EXPECT_NE(f.session().page()->itemById("engs0"), nullptr);
    EXPECT_EQ(f.session().sentenceCount(), 8);
}

TEST(LessonLoading, ChoosingAVolumeLoadsItsFirstLessonAndHidesTheWelcomePage)
{
    WindowHarness h;
    MainForm& f = h.load();
    ui(f).lsLesson->setCurrentRow(2);
    ui(f).cbVolume->setCurrentIndex(1);
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 0);
    EXPECT_EQ(ui(f).lbCurLesson->text(), ui(f).lsLesson->item(0)->text());
    EXPECT_EQ(h.player().fileName(), "books/Trellis英语第2册/tlx2001.mp3");
    EXPECT_EQ(f.session().sentenceCount(), 10);
}

TEST(LessonLoading, TimingFileWithFewerLinesLeavesZerosAndKeepsTheDurationLast)
{
    WindowHarness h([](const QString& folder) {
        QFile lrc(folder + "/books/Trellis英语第1册/tlx1001.lrc");
        lrc.open(QIODevice::WriteOnly);
        lrc.write("[00:00.50]One\r\n[00:02.25]Two\r\n");
    });
    MainForm& f = h.load();
    const int n = f.session().sentenceCount();
    EXPECT_DOUBLE_EQ(f.session().sentenceTimes()[0], 0.5);
    EXPECT_DOUBLE_EQ(f.session().sentenceTimes()[1], 2.25);
    for (int i = 2; i < n; ++i)
        EXPECT_EQ(f.session().sentenceTimes()[i], 0.0);
    EXPECT_DOUBLE_EQ(f.session().sentenceTimes()[n], WindowHarness::kRecordingSeconds);
    EXPECT_EQ(f.session().sentenceTimes()[n + 1], 0.0);
}

TEST(LessonLoading, CourseFilesAreFoundWithoutRegardToLetterCase)
{
    WindowHarness h([](const QString& folder) {
        const QString volume = folder + "/books/Trellis英语第1册/";
        QFile::rename(volume + "tlx1001.mp3", volume + "TLX1001.MP3");
        QFile::rename(volume + "tlx1001.lrc", volume + "Tlx1001.LRC");
        QFile::rename(volume + "lesson.txt", volume + "LESSON.TXT");
    });
    MainForm& f = h.load();
    EXPECT_EQ(ui(f).lsLesson->count(), 4);
    EXPECT_EQ(h.player().fileName(), "books/Trellis英语第1册/TLX1001.MP3");
    EXPECT_GT(f.session().sentenceTimes()[1], 0.0);
}

TEST(LessonLoading, ShowChineseSwitchReloadsThePageAndMakesSentenceZeroCurrent)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.session().SetCurSentence(4);
    ui(f).ckShowChinese->click();
    EXPECT_EQ(f.session().showChinese(), 0);
    EXPECT_EQ(f.session().page()->itemById("chns0"), nullptr);
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(h.colourOf("engs0"), "cc0000");
    ui(f).ckShowChinese->click();
    EXPECT_EQ(f.session().showChinese(), 1);
    EXPECT_NE(f.session().page()->itemById("chns0"), nullptr);
}

}  // namespace

namespace {

TEST(LessonLoading, VolumeWithoutLessonsEmptiesThePageInsteadOfKeepingTheOldLesson)
{
    WindowHarness h([](const QString& folder) {
        QDir(folder + "/books").mkdir("Trellis英语第3册");
    });
    MainForm& f = h.load();
    ASSERT_EQ(f.session().sentenceCount(), 8);
    ui(f).cbVolume->setCurrentIndex(2);
    WindowHarness::settle();
    EXPECT_EQ(ui(f).lsLesson->count(), 0);
    EXPECT_EQ(f.session().sentenceCount(), 0);
    EXPECT_EQ(ui(f).lbCurLesson->text(), "");
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 0 句，当前是第 0 句");
    EXPECT_EQ(f.session().page()->itemById("engs0"), nullptr);
    ASSERT_EQ(h.boxes().shown.size(), 1);
    EXPECT_TRUE(h.boxes().shown[0].contains("Trellis英语第3册/lesson.txt"));
    // Nothing of the old lesson plays.
    h.player().log.clear();
    f.btBrowse_Click();
    f.playback().PlaySentence(0, true);
    EXPECT_FALSE(h.player().log.contains("play"));
}

// The page-load wait handles events: a lesson or volume chosen meanwhile is
// loaded in full within it, and the load it interrupted leaves everything to
// it, also when the volume chosen has no lessons at all.
TEST(LessonLoading, WhatIsChosenDuringAPageLoadIsWhatStays)
{
    WindowHarness h([](const QString& folder) { QDir(folder + "/books").mkdir("Trellis英语第3册"); });
    MainForm& f = h.load();
    ui(f).lsLesson->setCurrentRow(1);
    WindowHarness::settle();

    QTimer::singleShot(0, [&f] { ui(f).cbVolume->setCurrentIndex(1); });
    ui(f).lsLesson->setCurrentRow(0);  // volume 1's first lesson, 8 sentences
    EXPECT_EQ(f.session().sentenceCount(), 10);
    EXPECT_EQ(f.session().sentenceTimes().size(), 12u);
    EXPECT_DOUBLE_EQ(f.session().sentenceTimes()[10], WindowHarness::kRecordingSeconds);
    EXPECT_EQ(ui(f).lbCurLesson->text(), ui(f).lsLesson->item(0)->text());
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 10 句，当前是第 1 句");
    EXPECT_EQ(h.player().fileName(), "books/Trellis英语第2册/tlx2001.mp3");
    EXPECT_EQ(f.session().lessonName().volume, "Trellis英语第2册");

    QTimer::singleShot(0, [&f] { ui(f).cbVolume->setCurrentIndex(2); });
    ui(f).lsLesson->setCurrentRow(1);
    EXPECT_EQ(ui(f).lsLesson->count(), 0);
    EXPECT_EQ(f.session().sentenceCount(), 0);
    EXPECT_EQ(ui(f).lbCurLesson->text(), "");
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 0 句，当前是第 0 句");
    EXPECT_TRUE(h.boxes().shown.last().contains("没有课文"));
}

}  // namespace
