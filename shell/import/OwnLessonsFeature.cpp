#include "shell/import/OwnLessonsFeature.h"

#include "platform/system/MessageBoxes.h"
#include "shell/Platform.h"
#include "shell/import/ImportForm.h"
#include "shell/import/OwnLessonEdits.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Commands.h"
#include "shell/window/Keys.h"
#include "shell/window/LessonMenu.h"
#include "shell/window/Module1.h"

#include <QDir>

namespace {

// How far Alt+← / Alt+→ move a sentence's start, in seconds.
constexpr double kStartStep = 0.05;

}  // namespace

OwnLessonsFeature::OwnLessonsFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("ownLessonsFeature");
    edits_ = new OwnLessonEdits(context_.catalogue, context_.session, context_.playback,
                                *context_.platform.messageBoxes, this);
    connect(edits_, &OwnLessonEdits::notice, this, [this](const QString& message) { context_.showNotice(message); });
    context_.commands.add("btImport", "导入课程", [this] { btImport_click(); }, this);
    context_.lessonMenu.add(LessonMenu::Edits, [this](QMenu& menu, int) {
        if (edits_->canRemoveLesson())
            menu.addAction("删除本课", edits_, &OwnLessonEdits::removeLesson);
    });
    addKeys();
}

void OwnLessonsFeature::addKeys()
{
    using K = KeyBinding;
    context_.keys.add({
        {Qt::Key_Left, Qt::AltModifier, "Alt+←", "自己的课文中，当前句早 0.05 秒开始，并重放", nullptr, K::Never,
         true, [this] { return edits_->moveSentenceStart(-kStartStep); }},
        {Qt::Key_Right, Qt::AltModifier, "Alt+→", "自己的课文中，当前句晚 0.05 秒开始，并重放", nullptr, K::Never,
         true, [this] { return edits_->moveSentenceStart(+kStartStep); }},
    });
}

void OwnLessonsFeature::btImport_click()
{
    const Platform& platform = context_.platform;
    if (platform.ownBooks.isEmpty()) {
        platform.messageBoxes->inform("这次运行没有自己的课本文件夹，不能导入课程。");
        return;
    }
    if (importForm_ == nullptr) {
        importForm_ = new ImportForm(platform.ownBooks, QDir(Module1::sAppPath).filePath(platform.shippedBooks),
                                     Module1::sAppPath, context_.catalogue.currentVolumeFolder(), &context_.window);
        importForm_->setWindowModality(Qt::WindowModal);
        connect(importForm_, &ImportForm::imported, this,
                [this](const QString& volumePath, int lesson) { context_.showLesson(volumePath, lesson); });
    }
    importForm_->show();
    importForm_->raise();
    importForm_->activateWindow();
}
