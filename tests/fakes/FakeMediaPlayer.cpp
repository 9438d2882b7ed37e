#include "FakeMediaPlayer.h"

namespace {

QString seconds(double value)
{
    return QString::number(value, 'f', 2);
}

}  // namespace

void FakeMediaPlayer::setFileName(const QString& path)
{
    log << QStringLiteral("file ") + path;
    fileName_ = path;
    playing_ = false;
    atRangeEnd_ = false;
    position_ = 0;
    ++rangeSerial_;
    lastError_ = nextError_;
    duration_ = nextError_.isEmpty() ? nextDuration_ : 0;
}

double FakeMediaPlayer::duration() const
{
    return duration_;
}

void FakeMediaPlayer::stop()
{
    log << QStringLiteral("stop");
    playing_ = false;
    ++rangeSerial_;
}

void FakeMediaPlayer::setSelectionStart(double value)
{
    log << QStringLiteral("start ") + seconds(value);
    selectionStart_ = value;
}

void FakeMediaPlayer::setSelectionEnd(double value)
{
    log << QStringLiteral("end ") + seconds(value);
    selectionEnd_ = value;
}

double FakeMediaPlayer::selectionStart() const
{
    return selectionStart_;
}

double FakeMediaPlayer::selectionEnd() const
{
    return selectionEnd_;
}

void FakeMediaPlayer::setCurrentPosition(double value)
{
    log << QStringLiteral("position ") + seconds(value);
    position_ = value;
    atRangeEnd_ = false;
}

double FakeMediaPlayer::currentPosition() const
{
    return atRangeEnd_ ? selectionEnd_ : position_;
}

void FakeMediaPlayer::play()
{
    log << QStringLiteral("play");
    if (playing_)
        return;
    if (atRangeEnd_) {
        position_ = selectionStart_;
        atRangeEnd_ = false;
    }
    playing_ = true;
    rangeRate_ = rate_;
    if (selectionEnd_ > selectionStart_)
        return;
    // Like the real player: a range without length ends at once, queued.
    const quint64 serial = ++rangeSerial_;
    QMetaObject::invokeMethod(
        this,
        [this, serial] {
            if (serial == rangeSerial_)
                finishRange();
        },
        Qt::QueuedConnection);
}

void FakeMediaPlayer::setRate(double rate)
{
    log << QStringLiteral("rate ") + seconds(rate);
    rate_ = rate;
}

double FakeMediaPlayer::rate() const
{
    return rate_;
}

QString FakeMediaPlayer::lastError() const
{
    return lastError_;
}

void FakeMediaPlayer::setDurationForNextFile(double value)
{
    nextDuration_ = value;
}

void FakeMediaPlayer::setErrorForNextFile(const QString& message)
{
    nextError_ = message;
}

bool FakeMediaPlayer::finishRange()
{
    if (!playing_)
        return false;
    playing_ = false;
    atRangeEnd_ = true;
    emit endOfStream(0);
    return true;
}

bool FakeMediaPlayer::isPlaying() const
{
    return playing_;
}

QString FakeMediaPlayer::fileName() const
{
    return fileName_;
}
