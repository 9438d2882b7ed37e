// Start-up, settings and shut-down of the window.

#include "WindowHarness.h"

#include "platform/web/HtmlView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString setting(const QString& file, const QString& key)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value("Options/" + key).toString();
}

TEST(Startup, FirstRunShowsLessonOneUnderTheWelcomePageWithDefaultOptions)
{
    WindowHarness h;
    MainForm& f = h.load();

    EXPECT_EQ(ui(f).cbVolume->count(), 2);
    EXPECT_EQ(ui(f).cbVolume->currentIndex(), 0);
    EXPECT_EQ(ui(f).cbVolume->currentText(), "Trellis英语第1册");
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 0);
    EXPECT_EQ(ui(f).lbCurLesson->text(), ui(f).lsLesson->item(0)->text());
    EXPECT_TRUE(ui(f).ckShowChinese->isChecked());
    EXPECT_EQ(ui(f).cbRepeatTimes->currentText(), "1");
    EXPECT_EQ(ui(f).cbBrowseGap->currentText(), "0 秒");
    EXPECT_EQ(ui(f).cbBrowseGap->count(), 7);
    EXPECT_TRUE(ui(f).ckSpellShowChinese->isChecked());
    EXPECT_FALSE(ui(f).ckSpellShowEnglish->isChecked());
    EXPECT_TRUE(ui(f).ckSpellAutoSnd->isChecked());
    EXPECT_FALSE(f.findChild<QCheckBox*>("ckSpellLenient")->isChecked());
    EXPECT_EQ(f.findChild<QComboBox*>("cbSpeed")->currentText(), "100%");
    EXPECT_EQ(f.playback().speedPercent(), 100);

    EXPECT_EQ(f.session().status(), 1);
    EXPECT_EQ(ui(f).pnStatus->text(), "课文学习");
    EXPECT_EQ(ui(f).pnSubStatus->text(), QString("共 %1 句，当前是第 1 句").arg(f.session().sentenceCount()));
    EXPECT_GT(f.session().sentenceCount(), 0);
    EXPECT_FALSE(ui(f).wbAdv->isHidden());
    EXPECT_EQ(h.welcome().navigations().value(0), h.folder() + "/homepage.htm");
    EXPECT_TRUE(QFile::exists(h.folder() + "/homepage.htm"));
    EXPECT_EQ(f.windowTitle(), "Lexbay");
    for (const char* key : {"btBrowse", "btCompare", "btSpell", "btThinkEnglish", "btWords", "btMp3"})
        EXPECT_TRUE(f.findChild<QToolButton*>(key)->isEnabled()) << key;
    EXPECT_TRUE(h.boxes().shown.isEmpty());
}

TEST(Startup, RestoresTheSavedPlaceAndOptions)
{
    WindowHarness h([](const QString& folder) {
        writeSettings(folder + "/settings.ini", {{"ShowChinese", "0"}, {"ShouldRepeatTimes", "3"}, {"GapSetting", "4"},
                                                 {"SpellShowChinese", "0"}, {"SpellShowEnglish", "-1"},
                                                 {"SpellAutoSnd", "0"}, {"CurVolumeNo", "1"}, {"CurLessonNo", "2"}});
    });
    MainForm& f = h.load();
    EXPECT_EQ(ui(f).cbVolume->currentText(), "Trellis英语第2册");
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 2);
    EXPECT_EQ(h.player().fileName(), "books/Trellis英语第2册/tlx2003.mp3");
    EXPECT_FALSE(ui(f).ckShowChinese->isChecked());
    EXPECT_EQ(f.session().showChinese(), 0);
    EXPECT_EQ(f.modes().autoBrowse().repeatTimes(), 3);
    EXPECT_EQ(ui(f).cbRepeatTimes->currentIndex(), 2);
    EXPECT_EQ(ui(f).cbBrowseGap->currentIndex(), 4);
    EXPECT_FALSE(ui(f).ckSpellShowChinese->isChecked());
    EXPECT_TRUE(ui(f).ckSpellShowEnglish->isChecked());
    EXPECT_FALSE(ui(f).ckSpellAutoSnd->isChecked());
    // Without Chinese lines the page has no Chinese elements.
    EXPECT_EQ(f.session().page()->itemById("chns0"), nullptr);
}

struct OutOfRange {
    const char* value;
};

class StartupOutOfRange : public ::testing::TestWithParam<const char*> {};

TEST_P(StartupOutOfRange, SelectsTheFirstEntriesAndKeepsTheRepeatCountAsRead)
{
    const QString value = GetParam();
    WindowHarness h([&](const QString& folder) {
        writeSettings(folder + "/settings.ini", {{"ShouldRepeatTimes", value}, {"GapSetting", value},
                                                 {"CurVolumeNo", value}, {"CurLessonNo", value},
                                                 {"PlaybackSpeed", value}, {"SpellLenient", value}});
    });
    MainForm& f = h.load();
    EXPECT_EQ(ui(f).cbVolume->currentIndex(), 0);
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 0);
    EXPECT_EQ(ui(f).cbRepeatTimes->currentIndex(), 0);
    EXPECT_EQ(ui(f).cbBrowseGap->currentIndex(), 0);
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    EXPECT_EQ(f.modes().autoBrowse().repeatTimes(), isNumber ? number : 1);
    // A speed that is not offered is the recorded speed; a word is no tick.
    EXPECT_EQ(f.findChild<QComboBox*>("cbSpeed")->currentText(), "100%");
    EXPECT_EQ(f.findChild<QCheckBox*>("ckSpellLenient")->isChecked(), isNumber && number != 0);
    f.close();
    EXPECT_EQ(setting(h.settingsFile(), "ShouldRepeatTimes"), QString::number(isNumber ? number : 1));
    EXPECT_EQ(setting(h.settingsFile(), "GapSetting"), "0");
    EXPECT_EQ(setting(h.settingsFile(), "PlaybackSpeed"), "100");
}

INSTANTIATE_TEST_SUITE_P(Values, StartupOutOfRange,
                         ::testing::Values("-1", "9", "7", "2147483647", "99999999999", "", "two", "0x10"));

TEST(Shutdown, SavesEveryKeyAndRemovesTheScratchFiles)
{
    WindowHarness h;
    MainForm& f = h.load();
    ui(f).cbVolume->setCurrentIndex(1);  // loads lesson 1 of volume 2
    ui(f).lsLesson->setCurrentRow(3);
    ui(f).cbRepeatTimes->setCurrentIndex(1);
    emit ui(f).cbRepeatTimes->activated(1);
    ui(f).cbBrowseGap->setCurrentIndex(5);
    ui(f).ckShowChinese->click();
    ui(f).ckSpellShowEnglish->setChecked(true);
    QFile(h.folder() + "/yourvoice.wav").open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::exists(h.folder() + "/curLesson.htm"));

    f.close();

    const std::pair<const char*, const char*> expected[] = {
        {"ShowChinese", "0"},      {"ShouldRepeatTimes", "2"}, {"GapSetting", "5"}, {"SpellShowChinese", "1"},
        {"SpellShowEnglish", "1"}, {"SpellAutoSnd", "1"},      {"CurVolumeNo", "1"}, {"CurLessonNo", "3"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(setting(h.settingsFile(), key), value) << key;
    // Options nobody touched are not written.
    EXPECT_FALSE(QSettings(h.settingsFile(), QSettings::IniFormat).contains("Options/PlaybackSpeed"));
    EXPECT_FALSE(QSettings(h.settingsFile(), QSettings::IniFormat).contains("Options/SpellLenient"));
    for (const char* scratch : {"curLesson.htm", "curLessonwords.htm", "yourvoice.wav"})
        EXPECT_FALSE(QFile::exists(h.folder() + "/" + scratch)) << scratch;
    EXPECT_TRUE(QFile::exists(h.folder() + "/homepage.htm"));
}

TEST(Settings, SpeedAndForgivingCheckComeBackAfterARestart)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.findChild<QComboBox*>("cbSpeed")->setCurrentIndex(1);
    f.findChild<QCheckBox*>("ckSpellLenient")->setChecked(true);
    f.close();
    EXPECT_EQ(setting(h.settingsFile(), "PlaybackSpeed"), "60");
    EXPECT_EQ(setting(h.settingsFile(), "SpellLenient"), "-1");
    WindowHarness again([&](const QString& folder) { QFile::copy(h.settingsFile(), folder + "/settings.ini"); });
    MainForm& g = again.load();
    EXPECT_EQ(g.findChild<QComboBox*>("cbSpeed")->currentText(), "60%");
    EXPECT_EQ(g.playback().speedPercent(), 60);
    EXPECT_TRUE(g.findChild<QCheckBox*>("ckSpellLenient")->isChecked());
}

TEST(Startup, OverwritesAReadOnlyWelcomePage)
{
    WindowHarness h([](const QString& folder) {
        QFile stale(folder + "/homepage.htm");
        stale.open(QIODevice::WriteOnly);
        stale.write("stale");
        stale.close();
        stale.setPermissions(QFile::ReadOwner);
    });
    h.load();
    QFile page(h.folder() + "/homepage.htm");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().startsWith("<html>"));
}

TEST(Startup, WithoutAnyVolumeSaysWhereItLookedAndStaysUsable)
{
    WindowHarness h([](const QString& folder) { QDir(folder + "/books").removeRecursively(); });
    MainForm& f = h.load();
    ASSERT_EQ(h.boxes().shown.size(), 1);
    EXPECT_TRUE(h.boxes().shown[0].contains(h.folder() + "/books")) << h.boxes().shown[0].toStdString();
    EXPECT_EQ(f.session().status(), 1);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 0 句，当前是第 0 句");
    f.btWords_click();
    f.btWords_click();
    f.btBrowse_Click();
    f.btBrowse_Click();
    f.btThinkEnglish_click();
    f.btThinkEnglish_click();
    EXPECT_EQ(f.session().status(), 1);
}

TEST(Startup, VolumeWithoutLessonsSaysWhichFileIsMissing)
{
    WindowHarness h([](const QString& folder) {
        QFile::remove(folder + "/books/Trellis英语第1册/lesson.txt");
    });
    MainForm& f = h.load();
    ASSERT_EQ(h.boxes().shown.size(), 1);
    EXPECT_TRUE(h.boxes().shown[0].contains("Trellis英语第1册/lesson.txt")) << h.boxes().shown[0].toStdString();
    EXPECT_EQ(ui(f).lsLesson->count(), 0);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 0 句，当前是第 0 句");
}

}  // namespace

namespace {

TEST(Shutdown, ClosingDuringDictationKeepsTheLearnersChineseChoice)
{
    WindowHarness h([](const QString& folder) { writeSettings(folder + "/settings.ini", {{"ShowChinese", "0"}}); });
    MainForm& f = h.load();
    f.btSpell_click();
    ASSERT_NE(f.session().showChinese(), 0);  // the mode shows the Chinese lines
    f.close();
    EXPECT_EQ(setting(h.settingsFile(), "ShowChinese"), "0");
}

}  // namespace
