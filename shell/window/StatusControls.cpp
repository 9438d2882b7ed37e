#include "shell/window/StatusControls.h"

namespace {

constexpr Switch O = Switch::On;
constexpr Switch X = Switch::Off;
constexpr Switch K = Switch::Keep;

// clang-format off
const StatusControls kStatusTable[] = {
    //  status              panel        ckShowChinese wbContent wbWords piBrowse piSpell piCompare cbVolume lsLesson  btBrowse btSpell btCompare btThinkEnglish btWords
    {StatusLesson,       "课文学习",    O,           O,        X,      X,       X,      X,        O,       O,        O,       O,      O,        O,             O},
    {StatusBrowse,       "自动浏览",    K,           K,        K,      O,       K,      K,        X,       X,        O,       X,      X,        X,             X},
    {StatusThinkEnglish, "回想英文",    K,           K,        K,      K,       K,      K,        K,       K,        X,       X,      X,        O,             X},
    {StatusSpell,        "逆向听写",    K,           K,        K,      X,       O,      X,        X,       X,        X,       O,      X,        X,             X},
    {StatusCompare,      "跟读对比",    K,           K,        K,      X,       X,      O,        X,       X,        X,       X,      O,        X,             X},
    {StatusWords,        "词汇学习",    K,           X,        O,      X,       X,      X,        X,       X,        X,       X,      X,        X,             O},
};
// clang-format on

}  // namespace

const StatusControls* statusControls(int status)
{
    for (const StatusControls& controls : kStatusTable) {
        if (controls.status == status)
            return &controls;
    }
    return nullptr;
}

const ModeButton kToolbarButtons[9] = {
    {"btBrowse", Qt::Key_F2, "自动浏览", StatusBrowse, "停止浏览"},
    {"btCompare", Qt::Key_F3, "跟读对比", StatusCompare, "停止对比"},
    {"btSpell", Qt::Key_F4, "逆向听写", StatusSpell, "停止听写"},
    {"btThinkEnglish", Qt::Key_F5, "回想英文", StatusThinkEnglish, "停止回想"},
    {"btWords", Qt::Key_F6, "学词汇", StatusWords, "学课文"},
    // Not modes: the recording-source dialog, the study record, the daily
    // review and the import. The record and the import, used now and then,
    // show their icons only, so that the row fits the window's default width
    // with the count of the day's review in words.
    {"btMp3", Qt::Key_F7, "MP3导出", 0, "MP3导出"},
    {"btStudyRecord", Qt::Key_F8, "学习记录", 0, "学习记录", true},
    {"btReview", Qt::Key_F9, "今日复习", 0, "今日复习"},
    {"btImport", Qt::Key_F10, "导入课程", 0, "导入课程", true},
};
