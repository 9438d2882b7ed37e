#pragma once

// What the window shows in each study status, and what the toolbar offers.

#include "study/StudyStatus.h"

#include <Qt>

// A control in a status: shown/enabled, hidden/disabled, or left as it is.
enum class Switch { Off, On, Keep };

struct StatusControls {
    int status;
    const char* panelText;  // the status bar's first panel
    Switch ckShowChinese, wbContent, wbWords, piBrowse, piSpell, piCompare, cbVolume, lsLesson;
    Switch btBrowse, btSpell, btCompare, btThinkEnglish, btWords;
};

// The controls of every status; nullptr for a value without a status.
const StatusControls* statusControls(int status);

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
