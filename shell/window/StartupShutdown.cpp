// The window's start-up and shut-down, and the learner's options and place
// restored from the settings store and saved to it.

#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/UserFolderFiles.h"
#include "platform/web/HtmlView.h"
#include "record/StudyRecord.h"
#include "shell/window/BrowsePanel.h"
#include "shell/window/Catalogue.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "shell/window/Settings.h"
#include "shell/widgets/VideoPane.h"
#include "shell/window/SpellPanel.h"
#include "shell/window/StatusViews.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

const char* const kPhoneticFont = "Ksphonet.ttf";
const char* const kScratchFiles[] = {kLessonPage, kWordsPage};

// The pages are generated into the run's working folder (the user folder,
// or the program folder when it is portable) before they are shown;
// a folder or page file that refuses writing leaves every page blank.
bool canWritePages()
{
    for (const char* page : kScratchFiles) {
        QFile probe(page);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
    }
    return true;
}

}  // namespace

void MainForm::Form_Load()
{
    bindToolbar();
    finishKeys();
    if (QFile::exists(kPhoneticFont))
        QFontDatabase::addApplicationFont(kPhoneticFont);
    Module1::CenterForm(this);
    catalogue_->FillCbVolume();
    GetAllSettings();

    MessageBoxes& messages = *platform_.messageBoxes;
    if (!canWritePages())
        messages.inform(QString("无法写入 %1：程序文件夹不可写，课文页面无法显示。请让该文件夹可写后重新启动。")
                            .arg(Module1::UserFile(kScratchFiles[0])));
    if (cbVolume->count() == 0)
        messages.inform(QString("没有找到课本。请把课本文件夹（名称以“Trellis英语”开头）放在 %1 中。")
                            .arg(catalogue_->booksFolderForLearner()));
    else
        catalogue_->start(settings_->number("CurVolumeNo", 0), settings_->number("CurLessonNo", 0));
    modes_->switchTo(modes_->lessonStudy());  // the lesson page also takes the keyboard
    if (session_->sentenceCount() == 0)
        session_->ShowPositionText(0);
    wbAdv->widget()->show();

    const QString welcome = Module1::UserFile(kWelcomePage);
    QFile::setPermissions(welcome, QFile::permissions(welcome) | QFile::WriteOwner);
    platform_.library->dllInit(kWelcomePage);
    wbAdv->navigate(welcome);
}

void MainForm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    modes_->autoBrowse().cancelPauses();
    session_->releasePage();
    record_->flush();
    SaveAllSettings();
    for (const char* scratch : kScratchFiles)
        QFile::remove(scratch);
    if (QFile::exists(kTakeFile))
        QFile::remove(kTakeFile);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void MainForm::GetAllSettings()
{
    const Settings& s = *settings_;
    session_->setChineseChosen(s.number("ShowChinese", 1) != 0);

    // Out of range: the list shows its first entry, the count stays as read.
    const int repeatTimes = s.number("ShouldRepeatTimes", 1);
    modes_->autoBrowse().setRepeatTimes(repeatTimes);
    piBrowse->showRepeatTimes(repeatTimes);
    piBrowse->showGap(s.number("GapSetting", 0));

    piSpell->showOptions({s.number("SpellAutoSnd", 1) != 0, s.number("SpellShowEnglish", 0) != 0,
                          s.number("SpellShowChinese", 1) != 0, s.number("SpellLenient", 0) != 0,
                          s.number("SpellHardOnly", 0) != 0});

    // A speed that is not offered is the recorded speed.
    const int speed = cbSpeed->findData(s.number("PlaybackSpeed", kNormalSpeed));
    cbSpeed->setCurrentIndex(speed >= 0 ? speed : cbSpeed->findData(kNormalSpeed));

    const VideoPane::Choices video;
    videoPane_->restore({s.number("VideoPicture", video.picture) != 0, s.number("VideoCaption", video.caption) != 0,
                         s.number("VideoPaneHeight", video.height)});
}

void MainForm::SaveAllSettings()
{
    Settings& s = *settings_;
    const SpellPanel::Options spell = piSpell->options();
    // The learner's own choice, also while dictation shows the lines anyway.
    s.setNumber("ShowChinese", session_->chineseChosen() ? 1 : 0);
    s.setNumber("ShouldRepeatTimes", modes_->autoBrowse().repeatTimes());
    s.setNumber("GapSetting", piBrowse->gapChoice());
    s.setNumber("SpellShowChinese", spell.showsChinese ? 1 : 0);
    s.setNumber("SpellShowEnglish", spell.showsEnglish ? 1 : 0);
    s.setNumber("SpellAutoSnd", spell.playsEachSentence ? 1 : 0);
    s.setNumber("CurVolumeNo", cbVolume->currentIndex());
    s.setNumber("CurLessonNo", lsLesson->currentRow());
    s.setNumberOnceUsed("PlaybackSpeed", cbSpeed->currentData().toInt(), kNormalSpeed);
    s.setNumberOnceUsed("SpellLenient", spell.lenient ? -1 : 0, 0);
    s.setNumberOnceUsed("SpellHardOnly", spell.hardOnly ? -1 : 0, 0);
    const VideoPane::Choices video = videoPane_->choices(), unchosen;
    s.setNumberOnceUsed("VideoPicture", video.picture, unchosen.picture);
    s.setNumberOnceUsed("VideoCaption", video.caption, unchosen.caption);
    s.setNumberOnceUsed("VideoPaneHeight", video.height, unchosen.height);
    s.sync();
}
