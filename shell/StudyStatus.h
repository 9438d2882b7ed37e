#pragma once

// The study statuses and what the window shows in each.

// Values of nStatus.
enum : int {
    StatusLesson = 1,
    StatusBrowse = 2,
    StatusThinkEnglish = 3,
    StatusSpell = 5,
    StatusCompare = 6,
    StatusWords = 7,
};

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

// A mode's toolbar button: its key and its caption while the mode is off and
// while it runs.
struct ModeButton {
    const char* key;
    const char* caption;
    const char* runningCaption;
};

extern const ModeButton kBrowseButton;
extern const ModeButton kCompareButton;
extern const ModeButton kSpellButton;
extern const ModeButton kThinkEnglishButton;
extern const ModeButton kWordsButton;
extern const ModeButton kMp3Button;
