// Shadow-reading comparison: record one's own reading of the current sentence
// and play it once, or alternately with the recording in a loop.

#include "modes/CompareStatus.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDevice.h"
#include "platform/system/CourseLibrary.h"
#include "shell/MainForm.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

namespace {

const char* const kBlankTake = "userblank.wav";
const char* const kTake = "yourvoice.wav";
const char* const kAtLastSentence = "已经是最后一个句子了";
constexpr int kDoneWaitMs = 2000;

// Buttons per sub-status: 1 on, 0 off, 2 on exactly when a take exists.
struct CompareControls {
    const char* label;
    int record, standard, user, loop, next, stop;
};

// clang-format off
const CompareControls kCompareTable[] = {
    /* CompareIdle         */ {"静止状态",           1, 1, 2, 2, 1, 0},
    /* ComparePlayStandard */ {"正在播放标准发音",   1, 0, 2, 2, 1, 1},
    /* ComparePlayUser     */ {"正在播放您的声音",   1, 1, 0, 2, 1, 1},
    /* CompareLoopStandard */ {"循环对比: 标准发音", 1, 1, 1, 0, 1, 1},
    /* CompareLoopUser     */ {"循环对比: 您的声音", 1, 1, 1, 0, 1, 1},
    /* CompareRecording    */ {"正在录音",           0, 0, 0, 0, 0, 1},
};
// clang-format on

void makeWritable(const char* file)
{
    std::error_code ignored;
    std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
}

}  // namespace

void MainForm::btCompare_click()
{
    if (nStatus == StatusCompare) {
        StopComparingForLeave();
        mePlayer->stop();
        SetStatus(StatusLesson);
        Module1::SetToolbarButtonCaption(Toolbar1, kCompareButton.key, kCompareButton.caption);
        return;
    }
    mePlayer->stop();
    SetStatus(StatusCompare);
    Module1::SetToolbarButtonCaption(Toolbar1, kCompareButton.key, kCompareButton.runningCaption);
    SetComparingStatus(CompareIdle);
}

// Leaving the mode ends whatever it was doing without starting anything: a
// recording under way is discarded and the microphone released, a take that
// plays is stopped.
void MainForm::StopComparingForLeave()
{
    switch (nCompareStatus) {
    case CompareRecording:
        mciRecorder->command("Close");
        bHasUserVoice = 0;
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        StopPlayingCompareSnd();
        break;
    default:
        break;
    }
    SetComparingStatus(CompareIdle);
}

void MainForm::SetComparingStatus(int sStatus)
{
    nCompareStatus = sStatus;
    if (sStatus < CompareIdle || sStatus > CompareRecording)
        return;
    const CompareControls& c = kCompareTable[sStatus];
    auto state = [this](int v) { return v == 2 ? bHasUserVoice : (v != 0 ? -1 : 0); };
    EnableButton(btRecord, state(c.record));
    EnableButton(btStandard, state(c.standard));
    EnableButton(btUser, state(c.user));
    EnableButton(btLoop, state(c.loop));
    EnableButton(btCompareNext, state(c.next));
    EnableButton(btCompareStop, state(c.stop));
    lbCompareStatus->setText(c.label);
}

void MainForm::PlayUserVoice()
{
    mciPlayer->setFileName(kTake);
    mciPlayer->command("Open");
    mciPlayer->command("Play");
}

void MainForm::btRecord_Click()
{
    btCompareStop_Click();
    SetComparingStatus(CompareRecording);
    makeWritable(kTake);
    std::error_code copyError;
    std::filesystem::copy_file(kBlankTake, kTake, std::filesystem::copy_options::overwrite_existing, copyError);
    if (copyError)
        showAudioProblem(QString("无法准备录音文件：从 %1 复制到 %2 失败（%3）")
                             .arg(kBlankTake, kTake, QString::fromStdString(copyError.message())));
    makeWritable(kTake);
    mciRecorder->setFileName(kTake);
    mciRecorder->command("Open");
    mciRecorder->command("Record");
    bHasUserVoice = -1;
}

void MainForm::btCompareStop_Click()
{
    switch (nCompareStatus) {
    case ComparePlayStandard:
    case CompareLoopStandard:
        mePlayer->stop();
        SetComparingStatus(CompareIdle);
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        StopPlayingCompareSnd();
        SetComparingStatus(CompareIdle);
        break;
    case CompareRecording:
        mciRecorder->command("Save");
        mciRecorder->command("Close");
        if (QFile::exists(kTake)) {
            SetComparingStatus(CompareLoopUser);
            PlayUserVoice();
            bComparePlaying = -1;
        } else {
            SetComparingStatus(CompareIdle);
        }
        break;
    default:
        break;
    }
}

void MainForm::StopPlayingCompareSnd()
{
    mciPlayer->command("Stop");
    mciPlayer->command("Close");
    // The player's Done notification clears bComparePlaying; it is handled
    // inside this wait.
    WaitUntil([this] { return bComparePlaying == 0; }, kDoneWaitMs);
}

void MainForm::btStandard_Click()
{
    btCompareStop_Click();
    SetComparingStatus(ComparePlayStandard);
    PlaySentence(nCurSentence, 0);
    bComparePlaying = -1;
}

void MainForm::btUser_Click()
{
    btCompareStop_Click();
    if (!bHasUserVoice)
        return;
    SetComparingStatus(ComparePlayUser);
    PlayUserVoice();
    bComparePlaying = -1;
}

void MainForm::btLoop_Click()
{
    btCompareStop_Click();
    if (bHasUserVoice) {
        SetComparingStatus(CompareLoopUser);
        PlayUserVoice();
    } else {
        SetComparingStatus(CompareLoopStandard);
        PlaySentence(nCurSentence, 0);
    }
    bComparePlaying = -1;
}

void MainForm::btCompareNext_Click()
{
    btCompareStop_Click();
    if (nCurSentence < nSentenceCount - 1) {
        bHasUserVoice = 0;
        EnableButton(btUser, 0);
        SetCurSentence(nCurSentence + 1);
    } else {
        messages().inform(this, kAtLastSentence);
    }
}

void MainForm::CompareEndOfStandard()
{
    if (nCompareStatus == ComparePlayStandard) {
        SetComparingStatus(CompareIdle);
    } else if (nCompareStatus == CompareLoopStandard) {
        if (bHasUserVoice) {
            SetComparingStatus(CompareLoopUser);
            PlayUserVoice();
        } else if (!hasSentence(nCurSentence) || dSentenceTimes[nCurSentence + 1] <= dSentenceTimes[nCurSentence]) {
            // A sentence without length (its timing is missing) ends as soon
            // as it starts: looping it would only keep the processor busy.
            SetComparingStatus(CompareIdle);
            return;
        } else {
            SetComparingStatus(CompareLoopStandard);
            PlaySentence(nCurSentence, 0);
        }
        bComparePlaying = -1;
    }
}

void MainForm::mciPlayer_Done(int notifyCode)
{
    bComparePlaying = 0;
    if (notifyCode != WaveDevice::DoneSuccessful)
        return;
    mciPlayer->command("Close");
    if (nCompareStatus == CompareLoopUser) {
        SetComparingStatus(CompareLoopStandard);
        PlaySentence(nCurSentence, -1);
        bComparePlaying = -1;
    } else if (nCompareStatus == ComparePlayStandard || nCompareStatus == ComparePlayUser) {
        SetComparingStatus(CompareIdle);
    }
}
