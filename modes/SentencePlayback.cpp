// Playing one sentence of the lesson recording, and what the end of a
// sentence means in each study status.

#include "platform/audio/MediaPlayer.h"
#include "shell/MainForm.h"
#include "shell/StudyStatus.h"

void MainForm::PlaySentence(int nNo, int bStopFirst)
{
    if (bStopFirst)
        mePlayer->stop();
    // A lesson without sentences has no range to play.
    if (!hasSentence(nNo))
        return;
    mePlayer->setSelectionStart(dSentenceTimes[nNo]);
    mePlayer->setSelectionEnd(dSentenceTimes[nNo + 1]);
    mePlayer->setCurrentPosition(dSentenceTimes[nNo]);
    mePlayer->play();
}

void MainForm::mePlayer_EndOfStream(int)
{
    if (nStatus == StatusBrowse)
        BrowseStep();
    else if (nStatus == StatusCompare)
        CompareEndOfStandard();
}
