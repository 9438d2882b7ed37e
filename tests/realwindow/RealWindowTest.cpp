// The window on its real page view and player.

#include "CourseWindow.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"
#include "platform/web/WebEngineHtmlView.h"

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
    ASSERT_EQ(f.session().sentenceCount(), 8);
    EXPECT_EQ(w.liveColour("engs0"), kRed);
    EXPECT_EQ(w.liveColour("engs1"), kGreen);
    EXPECT_EQ(w.liveColour("imgs0"), kGreen);
    EXPECT_EQ(w.liveColour("chns0"), kChineseColour);
    const std::vector<double>& times = f.session().sentenceTimes();
    EXPECT_GT(times[8], times[7]);
    EXPECT_DOUBLE_EQ(times[8], w.player().duration());
    ASSERT_TRUE(settleUntil([&w] { return w.welcome().document() != nullptr; }, 20000));
    EXPECT_FALSE(ui(f).wbAdv->isHidden());
}

TEST(RealWindow, ItsThreePageViewsShareOneRendererProcess)
{
    CourseWindow w;
    w.start();
    ASSERT_TRUE(settleUntil([&w] { return w.welcome().document() && w.words().document(); }, 20000));
    const qint64 renderer = w.content().page()->renderProcessPid();
    EXPECT_GT(renderer, 0);
    EXPECT_EQ(w.words().page()->renderProcessPid(), renderer);
    EXPECT_EQ(w.welcome().page()->renderProcessPid(), renderer);
}

TEST(RealWindow, PressOnASoundIconMarksItsSentenceAndPlaysExactlyItsRange)
{
    CourseWindow w;
    MainForm& f = w.start();
    ui(f).wbAdv->hide();  // the welcome page lies over the lesson page
    MediaPlayer& player = w.player();
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);

    QElapsedTimer clock;
    w.clickElement("imgs3");
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&f] { return f.session().currentSentence() == 3; }, 5000));
    EXPECT_EQ(w.liveColour("engs3"), kRed);
    EXPECT_EQ(w.liveColour("engs0"), kGreen);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 4 句");
    EXPECT_DOUBLE_EQ(player.selectionStart(), f.session().sentenceTimes()[3]);
    EXPECT_DOUBLE_EQ(player.selectionEnd(), f.session().sentenceTimes()[4]);

    const double length = f.session().sentenceTimes()[4] - f.session().sentenceTimes()[3];
    ASSERT_TRUE(ends.wait(int(length * 1000) + 5000));
    EXPECT_NEAR(player.currentPosition(), f.session().sentenceTimes()[4], 0.001);
    EXPECT_GT(clock.elapsed(), length * 1000 - 100);
    QTest::qWait(300);
    EXPECT_EQ(ends.count(), 1);
}

TEST(RealWindow, ClosingSavesThePlaceAndRemovesTheScratchPages)
{
    CourseWindow w;
    MainForm& f = w.start();
    ui(f).lsLesson->setCurrentRow(2);
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
