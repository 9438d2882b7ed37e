#include "FakeWaveDevice.h"

void FakeWaveDevice::setFileName(const QString& path)
{
    fileName_ = path;
}

QString FakeWaveDevice::fileName() const
{
    return fileName_;
}

void FakeWaveDevice::command(const QString& word)
{
    log << word + QLatin1Char(' ') + fileName_;
    if (word == QLatin1String("Open")) {
        open_ = true;
    } else if (word == QLatin1String("Record")) {
        recording_ = open_ && !playing_;
    } else if (word == QLatin1String("Save")) {
        recording_ = false;
    } else if (word == QLatin1String("Play")) {
        endPlaybackLater(DoneSuperseded);
        playing_ = open_ && !recording_;
    } else if (word == QLatin1String("Stop")) {
        endStoppedPlayback();
        recording_ = false;
    } else if (word == QLatin1String("Close")) {
        endStoppedPlayback();
        open_ = false;
        recording_ = false;
    }
}

void FakeWaveDevice::endPlaybackLater(int notifyCode)
{
    if (!playing_)
        return;
    playing_ = false;
    QMetaObject::invokeMethod(this, [this, notifyCode] { emit done(notifyCode); }, Qt::QueuedConnection);
}

void FakeWaveDevice::endStoppedPlayback()
{
    if (reportsStops)
        endPlaybackLater(DoneAborted);
    else
        playing_ = false;
}

bool FakeWaveDevice::sendDone(int notifyCode)
{
    if (!playing_)
        return false;
    playing_ = false;
    emit done(notifyCode);
    return true;
}

double FakeWaveDevice::position() const
{
    return playing_ ? playPosition : 0;
}

bool FakeWaveDevice::isOpen() const
{
    return open_;
}

bool FakeWaveDevice::isRecording() const
{
    return recording_;
}

bool FakeWaveDevice::isPlaying() const
{
    return playing_;
}
