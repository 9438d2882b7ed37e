#pragma once

// What the window shows in each study status, and what the toolbar offers.

#include "study/StudyStatus.h"

#include <Qt>

#include <vector>

// A study status as the window shows it: the status bar's caption and the
// controls, by their names, it shows or enables and hides or disables; a
// control it does not name stays as it is. A new mode is one more view; a
// new control is named by the views that change it.
struct StatusView {
    int status;
    const char* caption;
    std::vector<const char*> on;
    std::vector<const char*> off;
};

// Every status's view, and the view of `status` (nullptr for a value
// without a status).
const std::vector<StatusView>& statusViews();
const StatusView* statusView(int status);

// A toolbar button: its key (the name of its command), its function key,
// its caption, and for a mode's button the status the mode runs in and the
// caption while it runs. A button shown as its icon alone keeps its caption
// for its tip and for screen readers. A function key belongs to its command
// for good: a new button takes a free one.
struct ModeButton {
    const char* key;
    int functionKey;
    const char* caption;
    int status;
    const char* runningCaption;
    bool iconOnly = false;
};

// Left to right.
extern const ModeButton kToolbarButtons[9];

// The playback speeds offered, in percent of the recorded speed.
constexpr int kPlaybackSpeeds[] = {50, 60, 70, 80, 90, 100, 125};
constexpr int kNormalSpeed = 100;
