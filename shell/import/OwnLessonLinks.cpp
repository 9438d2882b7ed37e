// The window's side of the learner's own lessons: the import dialog, the
// keys that move a sentence's start, and the lesson list's context menu.

#include "platform/system/MessageBoxes.h"
#include "platform/web/HtmlView.h"
#include "shell/window/Catalogue.h"
#include "shell/import/ImportForm.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "shell/import/OwnLessonEdits.h"
#include "study/StudyModes.h"

#include <QDir>

void MainForm::createOwnLessonEdits()
{
    ownLessons_ = new OwnLessonEdits(*catalogue_, *session_, *playback_, *platform_.messageBoxes, this);
    connect(ownLessons_, &OwnLessonEdits::notice, this, &MainForm::showNotice);
}

void MainForm::btImport_click()
{
    if (platform_.ownBooks.isEmpty()) {
        platform_.messageBoxes->inform("这次运行没有自己的课本文件夹，不能导入课程。");
        return;
    }
    if (importForm_ == nullptr) {
        importForm_ = new ImportForm(platform_.ownBooks, QDir(Module1::sAppPath).filePath(platform_.shippedBooks),
                                     Module1::sAppPath, catalogue_->currentVolumeFolder(), this);
        importForm_->setWindowModality(Qt::WindowModal);
        connect(importForm_, &ImportForm::imported, this, &MainForm::showImportedLesson);
    }
    importForm_->show();
    importForm_->raise();
    importForm_->activateWindow();
}

void MainForm::showImportedLesson(const QString& volumePath, int lesson)
{
    modes_->leaveRunning();
    wbAdv->widget()->hide();
    catalogue_->showLesson(volumePath, lesson);
}
