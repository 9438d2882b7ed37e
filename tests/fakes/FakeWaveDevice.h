#pragma once

#include "platform/audio/WaveDevice.h"

#include <QStringList>

// A wave device for the window's unit tests: it records and plays nothing,
// logs every command with the file name it applies to ("Open yourvoice.wav",
// "Record yourvoice.wav", ...) and follows the device's states. Like the real
// device it answers "Stop" or "Close" during a playback with a queued
// done(DoneAborted) and a "Play" during a playback with a queued
// done(DoneSuperseded); how a playback ends by itself (DoneSuccessful,
// DoneFailure) is the test's to say with sendDone().
class FakeWaveDevice : public WaveDevice {
    Q_OBJECT
public:
    using WaveDevice::WaveDevice;

    void setFileName(const QString& path) override;
    QString fileName() const override;
    void command(const QString& word) override;
    // playPosition while playing.
    double position() const override;

    // Ends the playback with `notifyCode`, emitting done() directly inside
    // this call. The real device sends done() once per playback, so this
    // refuses (and returns false) when nothing is playing.
    bool sendDone(int notifyCode);

    bool isOpen() const;
    bool isRecording() const;
    bool isPlaying() const;
    QStringList log;
    // False: "Stop" and "Close" end a playback without any done(), as a
    // device that never answers.
    bool reportsStops = true;
    double playPosition = 0;

private:
    void endPlaybackLater(int notifyCode);
    void endStoppedPlayback();

    QString fileName_;
    bool open_ = false;
    bool recording_ = false;
    bool playing_ = false;
};
