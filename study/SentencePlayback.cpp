#include "study/SentencePlayback.h"

#include "platform/audio/MediaPlayer.h"
#include "study/StudySession.h"

#include <utility>

SentencePlayback::SentencePlayback(MediaPlayer& player, const StudySession& session, QObject* parent)
    : QObject(parent), player_(player), session_(session)
{
    connect(&player_, &MediaPlayer::endOfStream, this, [this] {
        const quint64 step = steps_;
        if (!std::exchange(stretchPlays_, false))
            emit rangeEnded();
        else
            emit stretchEnded();
        if (step == steps_)
            prepareSentence(session_.currentSentence());
    });
    connect(&session_, &StudySession::currentSentenceChanged, this, &SentencePlayback::prepareSentence);
}

void SentencePlayback::prepareSentence(int nNo)
{
    ++steps_;
    if (!session_.hasSentence(nNo))
        return;
    const std::vector<double>& times = session_.sentenceTimes();
    player_.prepareRange(times[nNo], times[nNo + 1]);
}

double SentencePlayback::openRecording(const QString& file, const QString& video)
{
    recordingFile_ = file;
    playsVideo_ = false;
    if (!video.isEmpty()) {
        player_.setVideoFileName(video);
        playsVideo_ = player_.duration() > 0;
        if (playsVideo_)
            return player_.duration();
    }
    player_.setFileName(file);
    return player_.duration();
}

void SentencePlayback::prepareRecording(const QString& file, const QString& video)
{
    player_.prepareFile(video.isEmpty() ? file : video, !video.isEmpty());
}

void SentencePlayback::PlaySentence(int nNo, bool stopFirst)
{
    if (stopFirst)
        player_.stop();
    // A lesson without sentences has no range to play.
    if (!session_.hasSentence(nNo))
        return;
    const std::vector<double>& times = session_.sentenceTimes();
    player_.setSelectionStart(times[nNo]);
    player_.setSelectionEnd(times[nNo + 1]);
    player_.setCurrentPosition(times[nNo]);
    rangeRate_ = player_.rate();
    rangeSentence_ = nNo;
    stretchPlays_ = false;
    ++steps_;
    player_.play();
    emit sentenceStarted(nNo);
}

void SentencePlayback::playAgain()
{
    stretchPlays_ = false;
    rangeRate_ = player_.rate();
    ++steps_;
    player_.play();
    if (session_.hasSentence(rangeSentence_))
        emit sentenceStarted(rangeSentence_);
}

void SentencePlayback::playStretch(double start, double end)
{
    player_.stop();
    if (end <= start)
        return;
    player_.setSelectionStart(start);
    player_.setSelectionEnd(end);
    player_.setCurrentPosition(start);
    rangeRate_ = player_.rate();
    rangeSentence_ = -1;
    stretchPlays_ = true;
    ++steps_;
    player_.play();
}

void SentencePlayback::stop()
{
    stretchPlays_ = false;
    player_.stop();
    emit stopped();
}

double SentencePlayback::position() const { return player_.currentPosition(); }

double SentencePlayback::rangeSeconds() const { return player_.selectionEnd() - player_.selectionStart(); }

double SentencePlayback::heardSeconds() const { return rangeSeconds() / rangeRate_; }

double SentencePlayback::outputLeadSeconds() const { return player_.outputLeadSeconds(); }

void SentencePlayback::setSpeedPercent(int percent)
{
    if (percent <= 0 || percent == speedPercent_)
        return;
    speedPercent_ = percent;
    player_.setRate(percent / 100.0);
}
