#include "study/ComparisonMode.h"

#include "platform/audio/WaveDevice.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "study/ComparisonView.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

namespace {

const char* const kBlankTake = "userblank.wav";
const char* const kTake = "yourvoice.wav";
const char* const kAtLastSentence = "已经是最后一个句子了";
constexpr int kDoneWaitMs = 2000;
const char* const kSimilarity = "相似度：%1";
const char* const kIntonation = "语调：%1";
const char* const kNoVoice = "没有录到声音";
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

void EnableButton(QPushButton* mybutton, bool bEnabled) { mybutton->setEnabled(bEnabled); }

}  // namespace

ComparisonMode::ComparisonMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                               QWidget* window, WaveDevice& recorder, WaveDevice& wavePlayer,
                               const ComparePanel& panel, QObject* parent)
    : StudyMode(session, StatusCompare, parent), playback_(playback), messages_(messages), window_(window),
      recorder_(recorder), wavePlayer_(wavePlayer), panel_(panel)
{
    connect(panel_.btRecord, &QPushButton::clicked, this, &ComparisonMode::btRecord_Click);
    connect(panel_.btStandard, &QPushButton::clicked, this, &ComparisonMode::btStandard_Click);
    connect(panel_.btUser, &QPushButton::clicked, this, &ComparisonMode::btUser_Click);
    connect(panel_.btLoop, &QPushButton::clicked, this, &ComparisonMode::btLoop_Click);
    connect(panel_.btCompareNext, &QPushButton::clicked, this, &ComparisonMode::btCompareNext_Click);
    connect(panel_.btCompareStop, &QPushButton::clicked, this, &ComparisonMode::btCompareStop_Click);
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
    session_.SetStatus(StatusCompare);
    SetComparingStatus(CompareIdle);
    showSentence();
}

void ComparisonMode::leave()
{
    StopComparingForLeave();
    playback_.stop();
    session_.SetStatus(StatusLesson);
}

// A recording under way is discarded and the microphone released, a take that
// plays is stopped; nothing new starts.
void ComparisonMode::StopComparingForLeave()
{
    switch (compareStatus_) {
    case CompareRecording:
        recorder_.command("Close");
        hasUserVoice_ = false;
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
    const auto enabled = [this](Enabled e) { return e == WithTake ? hasUserVoice_ : e == On; };
    EnableButton(panel_.btRecord, enabled(c.record));
    EnableButton(panel_.btStandard, enabled(c.standard));
    EnableButton(panel_.btUser, enabled(c.user));
    EnableButton(panel_.btLoop, enabled(c.loop));
    EnableButton(panel_.btCompareNext, enabled(c.next));
    EnableButton(panel_.btCompareStop, enabled(c.stop));
    panel_.lbCompareStatus->setText(c.label);
}

void ComparisonMode::PlayUserVoice()
{
    wavePlayer_.setFileName(kTake);
    wavePlayer_.command("Open");
    wavePlayer_.command("Play");
    emit takePlayed(session_.currentSentence());
}

void ComparisonMode::btRecord_Click()
{
    btCompareStop_Click();
    SetComparingStatus(CompareRecording);
    makeWritable(kTake);
    std::error_code copyError;
    std::filesystem::copy_file(kBlankTake, kTake, std::filesystem::copy_options::overwrite_existing, copyError);
    if (copyError)
        emit audioProblem(QString("无法准备录音文件：从 %1 复制到 %2 失败（%3）")
                              .arg(kBlankTake, kTake, QString::fromStdString(copyError.message())));
    makeWritable(kTake);
    forgetTake();
    recorder_.setFileName(kTake);
    recorder_.command("Open");
    recorder_.command("Record");
    hasUserVoice_ = true;
}

void ComparisonMode::btCompareStop_Click()
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
        recorder_.command("Save");
        recorder_.command("Close");
        if (QFile::exists(kTake)) {
            emit takeRecorded(session_.currentSentence());
            analyseTake();
            SetComparingStatus(CompareLoopUser);
            PlayUserVoice();
            comparePlaying_ = true;
        } else {
            SetComparingStatus(CompareIdle);
        }
        break;
    default:
        break;
    }
}

void ComparisonMode::StopPlayingCompareSnd()
{
    wavePlayer_.command("Stop");
    wavePlayer_.command("Close");
    // The wave player's Done ends comparePlaying_; it is handled inside this
    // wait.
    WaitUntil([this] { return !comparePlaying_; }, kDoneWaitMs);
}

void ComparisonMode::btStandard_Click()
{
    btCompareStop_Click();
    SetComparingStatus(ComparePlayStandard);
    playback_.PlaySentence(session_.currentSentence(), false);
    comparePlaying_ = true;
}

void ComparisonMode::btUser_Click()
{
    btCompareStop_Click();
    if (!hasUserVoice_)
        return;
    SetComparingStatus(ComparePlayUser);
    PlayUserVoice();
    comparePlaying_ = true;
}

void ComparisonMode::btLoop_Click()
{
    btCompareStop_Click();
    if (hasUserVoice_) {
        SetComparingStatus(CompareLoopUser);
        PlayUserVoice();
    } else {
        SetComparingStatus(CompareLoopStandard);
        playback_.PlaySentence(session_.currentSentence(), false);
    }
    comparePlaying_ = true;
}

void ComparisonMode::btCompareNext_Click()
{
    btCompareStop_Click();
    const int n = session_.currentSentence();
    if (n < session_.sentenceCount() - 1) {
        hasUserVoice_ = false;
        forgetTake();
        EnableButton(panel_.btUser, false);
        session_.SetCurSentence(n + 1);
    } else {
        messages_.inform(window_, kAtLastSentence);
    }
}

void ComparisonMode::sentencePressed(int n, HtmlElement*, bool onText)
{
    btCompareStop_Click();
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
        if (hasUserVoice_) {
            SetComparingStatus(CompareLoopUser);
            PlayUserVoice();
        } else if (!sentenceHasLength(session_.currentSentence())) {
            // A sentence without length (its timing is missing) ends as soon
            // as it starts: looping it would only keep the processor busy.
            SetComparingStatus(CompareIdle);
            return;
        } else {
            SetComparingStatus(CompareLoopStandard);
            playback_.PlaySentence(session_.currentSentence(), false);
        }
        comparePlaying_ = true;
    }
}

void ComparisonMode::wavePlayerDone(int notifyCode)
{
    comparePlaying_ = false;
    if (notifyCode != WaveDevice::DoneSuccessful)
        return;
    wavePlayer_.command("Close");
    if (compareStatus_ == CompareLoopUser) {
        SetComparingStatus(CompareLoopStandard);
        playback_.PlaySentence(session_.currentSentence(), true);
        comparePlaying_ = true;
    } else if (compareStatus_ == ComparePlayStandard || compareStatus_ == ComparePlayUser) {
        SetComparingStatus(CompareIdle);
    }
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
    panel_.wvCompare->setReading(ComparisonView::RecordingRow, nullptr);
    showScores({}, {});
    recordingTicket_ = part.file.isEmpty() ? 0 : analyser_.analyseRecording(part);
}

void ComparisonMode::forgetTake()
{
    takeTicket_ = 0;
    panel_.wvCompare->setReading(ComparisonView::TakeRow, nullptr);
    showScores({}, {});
}

void ComparisonMode::analyseTake()
{
    forgetTake();
    takePart_ = shownPart_;
    takeTicket_ = analyser_.analyseTake(QFileInfo(kTake).absoluteFilePath(), takePart_);
}

void ComparisonMode::showRecording(int ticket, const AnalysedReading& recording)
{
    if (ticket == recordingTicket_)
        panel_.wvCompare->setReading(ComparisonView::RecordingRow, recording.profile);
}

void ComparisonMode::showTake(int ticket, const AnalysedReading& take, const ReadingScore& score)
{
    if (ticket != takeTicket_)
        return;
    panel_.wvCompare->setReading(ComparisonView::TakeRow, take.profile);
    if (!take.error.isEmpty()) {
        emit audioProblem(take.error);
        return;
    }
    // Another sentence came up while the take was analysed: scores against
    // the one it was recorded for would be read as this one's.
    if (!(takePart_ == shownPart_))
        return;
    if (!score.takeHasVoice)
        showScores(kNoVoice, kNoVoice);
    else if (score.scored)
        showScores(QString(kSimilarity).arg(score.similarity), QString(kIntonation).arg(score.intonation));
}

void ComparisonMode::showScores(const QString& similarity, const QString& intonation)
{
    panel_.lbSimilarity->setText(similarity);
    panel_.lbIntonation->setText(intonation);
}

// Marks how far the reading that plays has come: the recording's sentence
// on the lesson player, or the take on the wave player.
void ComparisonMode::followPlayback()
{
    ComparisonView* view = panel_.wvCompare;
    switch (compareStatus_) {
    case ComparePlayStandard:
    case CompareLoopStandard:
        view->setPlayPosition(ComparisonView::RecordingRow, playback_.position() - shownPart_.start);
        break;
    case ComparePlayUser:
    case CompareLoopUser:
        view->setPlayPosition(ComparisonView::TakeRow, wavePlayer_.position());
        break;
    default:
        positionTimer_.stop();
        view->clearPlayPosition();
        return;
    }
    if (!positionTimer_.isActive())
        positionTimer_.start();
}
