#pragma once

// A video lesson's picture plugged into the window: F11 shows or hides the
// picture, F12 the English over it, and both are in the lesson list's menu
// while a video lesson is open.

#include "shell/window/WindowContext.h"

#include <QObject>

class QMenu;

class VideoFeature : public QObject {
    Q_OBJECT
public:
    explicit VideoFeature(const WindowContext& context);

private:
    void addMenuEntries(QMenu& menu);

    WindowContext context_;
};
