#include "shell/window/StatusViews.h"

const std::vector<StatusView>& statusViews()
{
    static const std::vector<StatusView> views = {
        {StatusLesson, "课文学习",
         {"ckShowChinese", "wbContent", "cbVolume", "lsLesson", "btBrowse", "btSpell", "btCompare", "btThinkEnglish",
          "btWords"},
         {"wbWords", "piBrowse", "piSpell", "piCompare"}},
        {StatusBrowse, "自动浏览", {"piBrowse", "btBrowse"},
         {"cbVolume", "lsLesson", "btSpell", "btCompare", "btThinkEnglish", "btWords"}},
        {StatusThinkEnglish, "回想英文", {"btThinkEnglish"}, {"btBrowse", "btSpell", "btCompare", "btWords"}},
        {StatusSpell, "逆向听写", {"piSpell", "btSpell"},
         {"piBrowse", "piCompare", "cbVolume", "lsLesson", "btBrowse", "btCompare", "btThinkEnglish", "btWords"}},
        {StatusCompare, "跟读对比", {"piCompare", "btCompare"},
         {"piBrowse", "piSpell", "cbVolume", "lsLesson", "btBrowse", "btSpell", "btThinkEnglish", "btWords"}},
        {StatusWords, "词汇学习", {"wbWords", "btWords"},
         {"wbContent", "piBrowse", "piSpell", "piCompare", "cbVolume", "lsLesson", "btBrowse", "btSpell", "btCompare",
          "btThinkEnglish"}},
    };
    return views;
}

const StatusView* statusView(int status)
{
    for (const StatusView& view : statusViews()) {
        if (view.status == status)
            return &view;
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
