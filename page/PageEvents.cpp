// Presses on the lesson page, routed by the study status.

#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"
#include "shell/StudyStatus.h"

void MainForm::HtmlEventHandler()
{
    if (!oLessonDoc)
        return;
    const HtmlEvent e = oLessonDoc->currentEvent();
    HtmlElement* el = e.srcElement;
    if (e.type != "mousedown" || el == nullptr)
        return;
    const bool onText = el->tagName() == "A";
    if (!onText && el->tagName() != "IMG")
        return;
    mePlayer->stop();
    const int n = GetSentenceNo(el);
    // Ids outside the lesson (a page whose text holds its own ids) are ignored.
    const bool known = hasSentence(n);

    switch (nStatus) {
    case StatusLesson:
        if (!known)
            return;
        SetCurSentence(n);
        if (!onText)
            PlaySentence(n, -1);
        break;
    case StatusBrowse:
        if (known)
            BrowseJump(n);
        break;
    case StatusThinkEnglish:
        if (known)
            RecallPress(el, n, onText);
        break;
    case StatusSpell:
        if (known)
            SetCurSentence(n);
        break;
    case StatusCompare:
        if (!known)
            return;
        btCompareStop_Click();
        SetCurSentence(n);
        if (!onText)
            btStandard_Click();
        break;
    default:
        break;
    }
}
