// Recall-English: every English sentence hidden, revealed one by one.

#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

#include <algorithm>

namespace {

const char* const kColourNormal = "009933";
// White text on the page's white background: hidden, yet in place and
// pressable.
const char* const kColourHidden = "ffffff";

}  // namespace

void MainForm::btThinkEnglish_click()
{
    const bool leaving = nStatus == StatusThinkEnglish;
    if (!leaving) {
        SetStatus(StatusThinkEnglish);
        Module1::SetToolbarButtonCaption(Toolbar1, kThinkEnglishButton.key, kThinkEnglishButton.runningCaption);
    } else {
        SetStatus(StatusLesson);
    }
    const int sentences = std::min<int>(nSentenceCount, std::min(oEngs.size(), bEngShown.size()));
    for (int i = 0; i < sentences; ++i) {
        if (oEngs[i] != nullptr)
            oEngs[i]->setStyleColor(leaving ? kColourNormal : kColourHidden);
        bEngShown[i] = leaving ? -1 : 0;
    }
    if (leaving)
        Module1::SetToolbarButtonCaption(Toolbar1, kThinkEnglishButton.key, kThinkEnglishButton.caption);
}

void MainForm::RecallPress(HtmlElement* el, int n, bool onText)
{
    if (!onText) {
        PlaySentence(n, -1);
        return;
    }
    if (n >= static_cast<int>(bEngShown.size()))
        return;
    if (bEngShown[n]) {
        bEngShown[n] = 0;
        el->setStyleColor(kColourHidden);
    } else {
        el->setStyleColor(kColourNormal);
        bEngShown[n] = -1;
    }
}
