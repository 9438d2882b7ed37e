#include "study/ComparisonMode.h"

#include "platform/audio/WaveDevice.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/UserFolderFiles.h"
#include "platform/system/Waits.h"
#include "study/DictationText.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kDoneWaitMs = 2000;
const char* const kSimilarity = "相似度：%1";
const char* const kIntonation = "语调：%1";
const char* const kNoVoice = "没有录到声音";
const char* const kPronunciation = "发音：%1";
const char* const kCompleteness = "完整度：%1%";
const char* const kPractice = "再练一下：%1";
// How often the view's position mark moves while a reading plays: about
// every other frame of a 60 Hz screen.
constexpr int kPositionIntervalMs = 30;

// A button in a sub-status: enabled, disabled, or enabled exactly when a take
// exists.
enum Enabled { Off, On, WithTake };

struct CompareControls {
    const char* label;
    Enabled record, standard, user, loop, next, stop;
};

// Rows in the order of CompareStatus.
// clang-format off
const CompareControls kCompareTable[] = {
    /* CompareIdle         */ {"静止状态",           On,  On,  WithTake, WithTake, On,  Off},
    /* ComparePlayStandard */ {"正在播放标准发音",   On,  Off, WithTake, WithTake, On,  On},
    /* ComparePlayUser     */ {"正在播放您的声音",   On,  On,  Off,      WithTake, On,  On},
    /* CompareLoopStandard */ {"循环对比: 标准发音", On,  On,  On,       Off,      On,  On},
    /* CompareLoopUser     */ {"循环对比: 您的声音", On,  On,  On,       Off,      On,  On},
    /* CompareRecording    */ {"正在录音",           Off, Off, Off,      Off,      Off, On},
};
// clang-format on

void makeWritable(const char* file)
{
    std::error_code ignored;
    std::filesystem::permissions(file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
}

}  // namespace

ComparisonMode::ComparisonMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                               WaveDevice& recorder, WaveDevice& wavePlayer, ComparePanelView& panel,
                               QObject* parent)
    : StudyMode(session, StatusCompare, parent), playback_(playback), messages_(messages), recorder_(recorder),
      wavePlayer_(wavePlayer), panel_(panel)
{
    connect(&analyser_, &ReadingAnalyser::recordingAnalysed, this, &ComparisonMode::showRecording);
    connect(&analyser_, &ReadingAnalyser::takeAnalysed, this, &ComparisonMode::showTake);
    connect(&session_, &StudySession::currentSentenceChanged, this, [this] {
        if (isRunning())
            showSentence();
    });
    positionTimer_.setInterval(kPositionIntervalMs);
    connect(&positionTimer_, &QTimer::timeout, this, &ComparisonMode::followPlayback);
}

void ComparisonMode::enter()
{
    playback_.stop();
    SetComparingStatus(CompareIdle);
    showSentence();
}

void ComparisonMode::leave()
{
    StopComparingForLeave();
    playback_.stop();
}

// A recording under way is discarded and the microphone released, a take that
// plays is stopped; nothing new starts.
void ComparisonMode::StopComparingForLeave()
{
    switch (compareStatus_) {
    case CompareRecording:
        recorder_.command("Close");
        forgetTake();
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        StopPlayingCompareSnd();
        break;
    default:
        break;
    }
    SetComparingStatus(CompareIdle);
    // Whatever the wave player still reports belongs to a playback the mode
    // is done with; it reaches the mode only while the mode runs.
    comparePlaying_ = false;
}

void ComparisonMode::SetComparingStatus(CompareStatus status)
{
    compareStatus_ = status;
    followPlayback();
    if (status < CompareIdle || status > CompareRecording)
        return;
    const CompareControls& c = kCompareTable[status];
    const auto enabled = [this](Enabled e) { return e == WithTake ? hasTake_ : e == On; };
    panel_.enableButton(ComparePanelView::RecordButton, enabled(c.record));
    panel_.enableButton(ComparePanelView::StandardButton, enabled(c.standard));
    panel_.enableButton(ComparePanelView::UserButton, enabled(c.user));
    panel_.enableButton(ComparePanelView::LoopButton, enabled(c.loop));
    panel_.enableButton(ComparePanelView::NextButton, enabled(c.next));
    panel_.enableButton(ComparePanelView::StopButton, enabled(c.stop));
    panel_.showCompareStatus(c.label);
}

void ComparisonMode::endWhatRuns()
{
    switch (compareStatus_) {
    case ComparePlayStandard:
    case CompareLoopStandard:
        playback_.stop();
        SetComparingStatus(CompareIdle);
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        StopPlayingCompareSnd();
        SetComparingStatus(CompareIdle);
        break;
    case CompareRecording:
        finishRecording();
        break;
    default:
        break;
    }
}

// The take starts as a copy of the blank one, so that it is recorded in the
// blank's format.
void ComparisonMode::startRecording()
{
    SetComparingStatus(CompareRecording);
    makeWritable(kTakeFile);
    std::error_code copyError;
    std::filesystem::copy_file(kBlankTakeFile, kTakeFile, std::filesystem::copy_options::overwrite_existing,
                               copyError);
    if (copyError)
        emit audioProblem(QString("无法准备录音文件：从 %1 复制到 %2 失败（%3）")
                              .arg(kBlankTakeFile, kTakeFile, QString::fromStdString(copyError.message())));
    makeWritable(kTakeFile);
    forgetTake();
    recorder_.setFileName(kTakeFile);
    recorder_.command("Open");
    recorder_.command("Record");
}

// A saved take is scored, and the loop begins with it.
void ComparisonMode::finishRecording()
{
    recorder_.command("Save");
    recorder_.command("Close");
    hasTake_ = QFile::exists(kTakeFile);
    if (!hasTake_) {
        SetComparingStatus(CompareIdle);
        return;
    }
    emit takeRecorded(session_.currentSentence());
    analyseTake();
    playTake(CompareLoopUser);
}

void ComparisonMode::playStandard(CompareStatus status, bool stopFirst)
{
    SetComparingStatus(status);
    playback_.PlaySentence(session_.currentSentence(), stopFirst);
    comparePlaying_ = true;
}

void ComparisonMode::playTake(CompareStatus status)
{
    SetComparingStatus(status);
    wavePlayer_.setFileName(kTakeFile);
    wavePlayer_.command("Open");
    wavePlayer_.command("Play");
    comparePlaying_ = true;
    emit takePlayed(session_.currentSentence());
}

void ComparisonMode::StopPlayingCompareSnd()
{
    wavePlayer_.command("Stop");
    wavePlayer_.command("Close");
    // The wave player's Done ends comparePlaying_; it is handled inside this
    // wait.
    WaitUntil([this] { return !comparePlaying_; }, kDoneWaitMs);
}

void ComparisonMode::btRecord_Click()
{
    endWhatRuns();
    startRecording();
}

void ComparisonMode::btCompareStop_Click() { endWhatRuns(); }

void ComparisonMode::btStandard_Click()
{
    endWhatRuns();
    playStandard(ComparePlayStandard, false);
}

void ComparisonMode::btUser_Click()
{
    endWhatRuns();
    if (hasTake_)
        playTake(ComparePlayUser);
}

void ComparisonMode::btLoop_Click()
{
    endWhatRuns();
    if (hasTake_)
        playTake(CompareLoopUser);
    else
        playStandard(CompareLoopStandard, false);
}

void ComparisonMode::btCompareNext_Click()
{
    endWhatRuns();
    const int n = session_.currentSentence();
    if (n < session_.sentenceCount() - 1) {
        forgetTake();
        panel_.enableButton(ComparePanelView::UserButton, false);
        session_.SetCurSentence(n + 1);
    } else {
        messages_.inform(kAtLastSentence);
    }
}

void ComparisonMode::sentencePressed(int n, HtmlElement*, bool onText)
{
    endWhatRuns();
    session_.SetCurSentence(n);
    if (!onText)
        btStandard_Click();
}

void ComparisonMode::rangeEnded() { CompareEndOfStandard(); }

bool ComparisonMode::sentenceHasLength(int n) const
{
    return session_.hasSentence(n) && session_.sentenceTimes()[n + 1] > session_.sentenceTimes()[n];
}

void ComparisonMode::CompareEndOfStandard()
{
    if (compareStatus_ == ComparePlayStandard) {
        SetComparingStatus(CompareIdle);
    } else if (compareStatus_ == CompareLoopStandard) {
        if (hasTake_)
            playTake(CompareLoopUser);
        // A sentence without length (its timing is missing) ends as soon as
        // it starts: looping it would only keep the processor busy.
        else if (!sentenceHasLength(session_.currentSentence()))
            SetComparingStatus(CompareIdle);
        else
            playStandard(CompareLoopStandard, false);
    }
}

void ComparisonMode::wavePlayerDone(int notifyCode)
{
    comparePlaying_ = false;
    if (notifyCode != WaveDevice::DoneSuccessful)
        return;
    wavePlayer_.command("Close");
    if (compareStatus_ == CompareLoopUser)
        playStandard(CompareLoopStandard, true);
    else if (compareStatus_ == ComparePlayStandard || compareStatus_ == ComparePlayUser)
        SetComparingStatus(CompareIdle);
}

// The recording's row follows the current sentence; the scores shown belong
// to the sentence before and go.
void ComparisonMode::showSentence()
{
    const int n = session_.currentSentence();
    SoundPart part;
    if (sentenceHasLength(n) && !playback_.recordingFile().isEmpty())
        part = {QFileInfo(playback_.recordingFile()).absoluteFilePath(), session_.sentenceTimes()[n],
                session_.sentenceTimes()[n + 1]};
    if (part == shownPart_)
        return;
    shownPart_ = part;
    panel_.showReading(ComparePanelView::RecordingRow, nullptr);
    clearScores();
    recordingTicket_ = part.file.isEmpty() ? 0 : analyser_.analyseRecording(part);
}

// The take is gone, or about to be made anew.
void ComparisonMode::forgetTake()
{
    hasTake_ = false;
    clearTakeAnalysis();
}

// The take's row, its scores and any analysis of it still under way go.
void ComparisonMode::clearTakeAnalysis()
{
    takeTicket_ = 0;
    panel_.showReading(ComparePanelView::TakeRow, nullptr);
    clearScores();
}

void ComparisonMode::clearScores()
{
    panel_.showScores({}, {});
    panel_.showPronunciation({});
}

// The take's pronunciation is judged against the sentence as dictation reads
// it, on the analysis thread beside the likeness to the recording.
void ComparisonMode::analyseTake()
{
    clearTakeAnalysis();
    takePart_ = shownPart_;
    const QString text = plainText(session_.englishElement(session_.currentSentence())).trimmed();
    auto pronunciation = std::make_shared<PronunciationScore>();
    takePronunciation_ = pronunciation;
    takeTicket_ = analyser_.analyseTake(QFileInfo(kTakeFile).absoluteFilePath(), takePart_,
                                        [pronunciation, text](const QString& take) {
                                            *pronunciation = scorePronunciation(take, text);
                                        });
}

void ComparisonMode::showRecording(int ticket, const AnalysedReading& recording)
{
    if (ticket == recordingTicket_)
        panel_.showReading(ComparePanelView::RecordingRow, recording.profile);
}

void ComparisonMode::showTake(int ticket, const AnalysedReading& take, const ReadingScore& score)
{
    if (ticket != takeTicket_)
        return;
    panel_.showReading(ComparePanelView::TakeRow, take.profile);
    if (!take.error.isEmpty()) {
        emit audioProblem(take.error);
        return;
    }
    // Another sentence came up while the take was analysed: scores against
    // the one it was recorded for would be read as this one's.
    if (!(takePart_ == shownPart_))
        return;
    if (!score.takeHasVoice)
        panel_.showScores(kNoVoice, kNoVoice);
    else if (score.scored) {
        panel_.showScores(QString(kSimilarity).arg(score.similarity), QString(kIntonation).arg(score.intonation));
        showPronunciation(*takePronunciation_);
        // The take is of the sentence shown (checked above).
        emit takeScored(session_.currentSentence(), score.similarity);
    }
}

// A take unjudged shows why in one line; a judged one names its poorest word
// unless every word was said well.
void ComparisonMode::showPronunciation(const PronunciationScore& score)
{
    if (!score.scored) {
        panel_.showPronunciation({{}, {}, {}, score.message});
        return;
    }
    const auto poorest = std::find_if(score.words.begin(), score.words.end(), [&](const WordPronunciation& w) {
        return w.word == score.poorestWord && w.quality != WordQuality::Good;
    });
    panel_.showPronunciation({QString(kPronunciation).arg(score.pronunciation),
                              QString(kCompleteness).arg(score.completeness), score.words,
                              poorest == score.words.end() ? QString() : QString(kPractice).arg(score.poorestWord)});
}

// Marks how far the reading that plays has come: the recording's sentence
// on the lesson player, or the take on the wave player.
void ComparisonMode::followPlayback()
{
    switch (compareStatus_) {
    case ComparePlayStandard:
    case CompareLoopStandard:
        panel_.showPlayPosition(ComparePanelView::RecordingRow, playback_.position() - shownPart_.start);
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        panel_.showPlayPosition(ComparePanelView::TakeRow, wavePlayer_.position());
        break;
    default:
        positionTimer_.stop();
        panel_.clearPlayPosition();
        return;
    }
    if (!positionTimer_.isActive())
        positionTimer_.start();
}
