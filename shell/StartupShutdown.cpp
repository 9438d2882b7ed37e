// The window's start-up and shut-down.

#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "record/StudyRecord.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QListWidget>

#include <filesystem>

namespace {

const char* const kPhoneticFont = "Ksphonet.ttf";
const char* const kWelcomePage = "homepage.htm";
const char* const kScratchFiles[] = {"curLesson.htm", "curLessonwords.htm"};
const char* const kTake = "yourvoice.wav";

const char* const kRepeatChoices[] = {"1", "2", "3", "4", "5"};
const char* const kGapChoices[] = {"0 秒", "1 秒", "2 秒", "1 倍句长", "1.5 倍句长", "2 倍句长", "3 倍句长"};

// The pages are generated into the program folder before they are shown; a
// folder or page file that refuses writing leaves every page blank.
bool canWritePages()
{
    for (const char* page : kScratchFiles) {
        QFile probe(page);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
    }
    return true;
}

void selectOrFirst(QComboBox* list, int position)
{
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : 0);
}

}  // namespace

void MainForm::Form_Load()
{
    nCurVolume = 1;
    if (QFile::exists(kPhoneticFont))
        QFontDatabase::addApplicationFont(kPhoneticFont);
    Module1::CenterForm(this);
    FillCbVolume();
    session_->setLoading(true);
    for (const char* choice : kRepeatChoices)
        browsePanel_.cbRepeatTimes->addItem(choice);
    for (const char* choice : kGapChoices)
        browsePanel_.cbBrowseGap->addItem(choice);
    GetAllSettings();

    MessageBoxes& messages = *platform_.messageBoxes;
    if (!canWritePages())
        messages.inform(this, QString("无法写入 %1：程序文件夹不可写，课文页面无法显示。请让该文件夹可写后重新启动。")
                                  .arg(Module1::UserFile(kScratchFiles[0])));
    if (cbVolume->count() == 0) {
        messages.inform(this, QString("没有找到课本。请把课本文件夹（名称以“Trellis英语”开头）放在 %1 中。")
                                  .arg(booksFolderForLearner()));
    } else {
        selectOrFirst(cbVolume, settingNumber("CurVolumeNo", 0));
        cbVolume_Click();
        FillLsLesson();
        const int lesson = settingNumber("CurLessonNo", 0);
        if (lsLesson->count() > 0)
            lsLesson->setCurrentRow(lesson >= 0 && lesson < lsLesson->count() ? lesson : 0);
        LoadLesson();
        if (lsLesson->count() == 0)
            reportNoLessons();
    }
    session_->setLoading(false);
    modes_->lessonStudy().enter();  // the lesson page also takes the keyboard
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
    if (QFile::exists(kTake))
        QFile::remove(kTake);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}
