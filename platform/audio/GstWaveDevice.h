#pragma once

#include "platform/audio/GstSoundDeviceChoice.h"
#include "platform/audio/GstWavePipelines.h"
#include "platform/audio/WavFormat.h"
#include "platform/audio/WaveDevice.h"

#include <memory>

class GstBusBridge;

// A wave-audio device on GStreamer: records a take in the format of the wave
// file it was opened on, or plays a wave file. One pipeline at a time, built
// per recording or playback; this object owns it and is its only door.
//
// A recording goes into a scratch file beside the named one and replaces the
// named file only at "Save", so an abandoned take never leaves a broken file.
// "Stop" while recording ends the take and keeps it for a later "Save";
// "Close" while recording ends it, discards it and releases the microphone.
class GstWaveDevice : public WaveDevice {
    Q_OBJECT
public:
    enum class State { Closed, Open, Recording, Recorded, Playing };

    // Plays on `sinkDescription` and records from `sourceDescription`,
    // gst-launch style elements such as "fakesink sync=true".
    GstWaveDevice(const QString& sinkDescription, const QString& sourceDescription, QObject* parent = nullptr);
    // Plays and records on the output and input the program chooses, asked
    // for each recording or playback.
    explicit GstWaveDevice(
        std::shared_ptr<GstSoundDeviceChoice> output = std::make_shared<GstSoundDeviceChoice>(
            GstSoundDeviceChoice::Direction::Output),
        std::shared_ptr<GstSoundDeviceChoice> input = std::make_shared<GstSoundDeviceChoice>(
            GstSoundDeviceChoice::Direction::Input),
        QObject* parent = nullptr);
    ~GstWaveDevice() override;

    void setFileName(const QString& path) override;
    QString fileName() const override;
    void command(const QString& word) override;
    double position() const override;

    State state() const;
    // The sample format the next recording is made in.
    WavFormat recordingFormat() const;

private:
    void open();
    void record();
    void save();
    void play();
    void stop();
    void close();

    QString endpointFrom(GstSoundDeviceChoice* choice, const QString& given);
    bool endpointFailed(GstMessage* message, const QString& why);
    bool startPipeline(const WavePipeline& made, const QString& error, const QString& what);
    bool finishRecording();
    void dropPipeline();
    void discardTake();
    QString takePath() const;
    void onBusMessage(GstMessage* message);
    void endPlayback(int notifyCode);
    void postDone(int notifyCode);
    void reportMissingDevice(const QString& why);
    void reportProblem(const QString& message);

    QString sinkDescription_;
    QString sourceDescription_;
    // Where the sink and source come from when they were not given.
    std::shared_ptr<GstSoundDeviceChoice> output_;
    std::shared_ptr<GstSoundDeviceChoice> input_;
    // The choice the active pipeline's endpoint came from, and its
    // description; no choice when the endpoint was given.
    GstSoundDeviceChoice* activeChoice_ = nullptr;
    QString activeEndpoint_;
    QString fileName_;
    QString openedPath_;
    WavFormat format_;
    State state_ = State::Closed;

    WavePipeline active_;
    GstBusBridge* bus_ = nullptr;
    bool endpointProblemReported_ = false;
};
