#pragma once

#include "platform/audio/MediaPlayer.h"

#include <QStringList>

// A lesson player for the window's unit tests: it plays nothing, records
// every call in order and ends a range only when the test says so, except
// that, like the real player, a range whose end is not after its start ends
// at once by a queued end-of-stream. A file that did not open plays its
// ranges silently, as the real player does: they too end when the test says.
//
// Log entries: "file <path>", "stop", "start 1.20", "end 3.40",
// "position 1.20", "play", "rate 0.50" (times and rates with two decimals).
class FakeMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    void setFileName(const QString& path) override;
    double duration() const override;
    void stop() override;
    void setSelectionStart(double seconds) override;
    void setSelectionEnd(double seconds) override;
    double selectionStart() const override;
    double selectionEnd() const override;
    void setCurrentPosition(double seconds) override;
    double currentPosition() const override;
    void play() override;
    void setRate(double rate) override;
    double rate() const override;
    QString lastError() const override;

    // What a test sets up: the duration the next setFileName() gives, and the
    // error text for it (a non-empty error means the file does not open).
    void setDurationForNextFile(double seconds);
    void setErrorForNextFile(const QString& message);

    // Ends the playing range as the real player would, but directly, inside
    // this call rather than queued, so a test sees the handler's work as soon
    // as this returns. Refuses (and returns false) when nothing is playing:
    // the real player never ends a stopped range.
    bool finishRange();

    bool isPlaying() const;
    // The speed the range under way was started at.
    double rangeRate() const { return rangeRate_; }
    QString fileName() const;
    QStringList log;

private:
    QString fileName_;
    double nextDuration_ = 0;
    QString nextError_;
    double duration_ = 0;
    QString lastError_;
    double selectionStart_ = 0;
    double selectionEnd_ = 0;
    double position_ = 0;
    double rate_ = 1.0;
    double rangeRate_ = 1.0;
    bool playing_ = false;
    bool atRangeEnd_ = false;
    quint64 rangeSerial_ = 0;
};
