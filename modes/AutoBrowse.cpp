// Auto-browse: the lesson read aloud sentence by sentence, each a chosen
// number of times, with a pause to repeat it after the last play.

#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>

#include <cmath>

namespace {

const char* const kBrowseAgainQuestion = "自动浏览结束，需要再来一遍吗";

// Nearest whole number, halves to the even neighbour.
int roundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

void MainForm::btBrowse_Click()
{
    if (nStatus == StatusBrowse) {
        StopBrowsing();
        return;
    }
    mePlayer->stop();
    bStopBrowse = 0;
    SetStatus(StatusBrowse);
    Module1::SetToolbarButtonCaption(Toolbar1, kBrowseButton.key, kBrowseButton.runningCaption);
    nRepeatTimes = cbRepeatTimes->currentIndex() + 1;
    nRepeatCount = 0;
    PlaySentence(nCurSentence, 0);
}

void MainForm::StopBrowsing()
{
    bStopBrowse = -1;
    SetStatus(StatusLesson);
    Module1::SetToolbarButtonCaption(Toolbar1, kBrowseButton.key, kBrowseButton.caption);
    mePlayer->stop();
}

void MainForm::SetBrowseGap(int nSentenceLength)
{
    switch (cbBrowseGap->currentIndex()) {
    case 0: nGapMs = 0; break;
    case 1: nGapMs = 1000; break;
    case 2: nGapMs = 2000; break;
    case 3: nGapMs = nSentenceLength; break;
    case 4: nGapMs = roundHalfEven(nSentenceLength * 1.5); break;
    case 5: nGapMs = nSentenceLength * 2; break;
    case 6: nGapMs = nSentenceLength * 3; break;
    default: break;  // nothing selected: the gap stays as it was
    }
}

void MainForm::BrowseStep()
{
    ++nRepeatCount;
    if (nRepeatCount < nRepeatTimes) {
        mePlayer->play();
        return;
    }
    if (nCurSentence < nSentenceCount - 1) {
        SetBrowseGap(roundHalfEven((mePlayer->selectionEnd() - mePlayer->selectionStart()) * 1000));
        const int pausedAfter = nCurSentence;
        bStopBrowse = 0;
        Delay(nGapMs);
        // Whatever happened during the pause (a stop, a jump, the window
        // closing) has taken over. A jump whose sentence ended inside this
        // pause began a pause of its own, which cleared bStopBrowse and steps
        // by itself; the sentence this pause followed is then no longer the
        // current one.
        if (bStopBrowse == 0 && nStatus == StatusBrowse && nCurSentence == pausedAfter) {
            SetCurSentence(nCurSentence + 1);
            nRepeatCount = 0;
            PlaySentence(nCurSentence, 0);
        }
        return;
    }
    if (messages().askYesNo(this, kBrowseAgainQuestion)) {
        SetCurSentence(0);
        nRepeatCount = 0;
        PlaySentence(0, 0);
    } else {
        StopBrowsing();
    }
}

void MainForm::BrowseJump(int n)
{
    bStopBrowse = -1;
    mePlayer->stop();
    SetCurSentence(n);
    PlaySentence(n, -1);
    nRepeatCount = 0;
}

void MainForm::cbRepeatTimes_Click()
{
    if (bLoading)
        return;
    nRepeatTimes = cbRepeatTimes->currentIndex() + 1;
}

void MainForm::ckShowChinese_Click()
{
    if (bLoading)
        return;
    wbAdv->widget()->hide();
    bShowChinese = ckShowChinese->isChecked() ? 1 : 0;
    if (nStatus == StatusLesson)
        LoadLesson();
}
