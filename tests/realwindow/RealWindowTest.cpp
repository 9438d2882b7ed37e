// The window on its real page view and player.

#include "CourseWindow.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const char* const kGreen = "rgb(0, 153, 51)";
const char* const kRed = "rgb(204, 0, 0)";
const char* const kChineseColour = "rgb(102, 102, 51)";

TEST(RealWindow, StartsOnTheSampleCourseWithTheFirstSentenceMarkedInTheLivePage)
{
    CourseWindow w;
    MainForm& f = w.start();
    ASSERT_EQ(f.nSentenceCount, 8);
    EXPECT_EQ(w.liveColour("engs0"), kRed);
    EXPECT_EQ(w.liveColour("engs1"), kGreen);
    EXPECT_EQ(w.liveColour("imgs0"), kGreen);
    EXPECT_EQ(w.liveColour("chns0"), kChineseColour);
    EXPECT_GT(f.dSentenceTimes[f.nSentenceCount], f.dSentenceTimes[f.nSentenceCount - 1]);
    EXPECT_DOUBLE_EQ(f.dSentenceTimes[f.nSentenceCount], f.mePlayer->duration());
    ASSERT_TRUE(settleUntil([&f] { return f.wbAdv->document() != nullptr; }, 20000));
    EXPECT_FALSE(f.wbAdv->widget()->isHidden());
}

TEST(RealWindow, PressOnASoundIconMarksItsSentenceAndPlaysExactlyItsRange)
{
    CourseWindow w;
    MainForm& f = w.start();
    f.wbAdv->widget()->hide();  // the welcome page lies over the lesson page
    MediaPlayer& player = *f.mePlayer;
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);

    QElapsedTimer clock;
    w.clickElement("imgs3");
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&f] { return f.nCurSentence == 3; }, 5000));
    EXPECT_EQ(w.liveColour("engs3"), kRed);
    EXPECT_EQ(w.liveColour("engs0"), kGreen);
    EXPECT_EQ(f.pnSubStatus->text(), "共 8 句，当前是第 4 句");
    EXPECT_DOUBLE_EQ(player.selectionStart(), f.dSentenceTimes[3]);
    EXPECT_DOUBLE_EQ(player.selectionEnd(), f.dSentenceTimes[4]);

    const double length = f.dSentenceTimes[4] - f.dSentenceTimes[3];
    ASSERT_TRUE(ends.wait(int(length * 1000) + 5000));
    EXPECT_NEAR(player.currentPosition(), f.dSentenceTimes[4], 0.001);
    EXPECT_GT(clock.elapsed(), length * 1000 - 100);
    QTest::qWait(300);
    EXPECT_EQ(ends.count(), 1);
}

TEST(RealWindow, ClosingSavesThePlaceAndRemovesTheScratchPages)
{
    CourseWindow w;
    MainForm& f = w.start();
    f.lsLesson->setCurrentRow(2);
    ASSERT_TRUE(QFile::exists(w.folder() + "/curLesson.htm"));
    w.close();
    QSettings settings(w.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Options/CurLessonNo").toString(), "2");
    EXPECT_EQ(settings.value("Options/CurVolumeNo").toString(), "0");
    EXPECT_EQ(settings.value("Options/ShowChinese").toString(), "1");
    EXPECT_FALSE(QFile::exists(w.folder() + "/curLesson.htm"));
    EXPECT_FALSE(QFile::exists(w.folder() + "/curLessonwords.htm"));
    EXPECT_TRUE(QFile::exists(w.folder() + "/homepage.htm"));
}

}  // namespace
