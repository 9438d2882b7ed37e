#pragma once

// The recording-source dialog (MP3导出) plugged into the window: its command.

#include "shell/window/WindowContext.h"

#include <QObject>

class Mp3Feature : public QObject {
    Q_OBJECT
public:
    explicit Mp3Feature(const WindowContext& context);

    // The toolbar's MP3导出: says where the lessons' recordings come from.
    void btMp3_click();

private:
    WindowContext context_;
};
