#pragma once

// The learner's own lessons plugged into the window: 导入课程 and its dialog,
// Alt+←/→ moving a sentence's start, and 删除本课 in the lesson list's menu.

#include "shell/window/WindowContext.h"

#include <QObject>

class ImportForm;
class OwnLessonEdits;

class OwnLessonsFeature : public QObject {
    Q_OBJECT
public:
    explicit OwnLessonsFeature(const WindowContext& context);

    // The toolbar's 导入课程.
    void btImport_click();

private:
    void addKeys();

    WindowContext context_;
    OwnLessonEdits* edits_ = nullptr;
    ImportForm* importForm_ = nullptr;
};
