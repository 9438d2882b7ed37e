// Vocabulary: the lesson's word page in place of the lesson page.

#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

void MainForm::btWords_click()
{
    if (nStatus == StatusWords) {
        Module1::SetToolbarButtonCaption(Toolbar1, kWordsButton.key, kWordsButton.caption);
        SetStatus(StatusLesson);
    } else {
        SetStatus(StatusWords);
        Module1::SetToolbarButtonCaption(Toolbar1, kWordsButton.key, kWordsButton.runningCaption);
    }
}
