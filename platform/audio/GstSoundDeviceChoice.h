#pragma once

#include <QString>

#include <future>
#include <mutex>
#include <vector>

// Where the program plays, or where it records: the first of its own devices
// that opens and passes a first buffer — the desktop's sound server
// (PulseAudio, or PipeWire's Pulse server), then ALSA's default device — or,
// when none does, a silent stand-in that keeps time. Nothing is left to the
// ranks of whatever audio plugins happen to be installed.
//
// The devices are tried once, on a thread of their own, and the choice is
// kept; when a chosen device fails later, the next call tries the devices
// after it. One object serves every player or wave device of a run and may be
// used from any thread.
class GstSoundDeviceChoice {
public:
    enum class Direction { Output, Input };

    struct Endpoint {
        // A sink or source for gstutil::elementFromDescription().
        QString description;
        // Empty for a device; for the silent stand-in, why the first device
        // could not be used.
        QString missingReason;

        bool isStandIn() const { return !missingReason.isEmpty(); }
    };

    explicit GstSoundDeviceChoice(Direction direction);
    // Tries `devices` (sink or source descriptions), in this order, instead of
    // the program's own.
    GstSoundDeviceChoice(Direction direction, std::vector<QString> devices);
    ~GstSoundDeviceChoice();
    GstSoundDeviceChoice(const GstSoundDeviceChoice&) = delete;
    GstSoundDeviceChoice& operator=(const GstSoundDeviceChoice&) = delete;

    // Starts trying the devices off the calling thread and returns at once;
    // a choice already made or under way is left as it is.
    void prepare();
    // The endpoint to use; waits for the trial if it is still under way.
    Endpoint endpoint();
    // The device `description`, handed out by endpoint(), failed after all:
    // the next endpoint() tries the devices after it.
    void failed(const QString& description, const QString& why);

private:
    Endpoint choose(int firstDevice, QString firstFailure) const;
    bool works(const QString& device, QString* why) const;

    const Direction direction_;
    const std::vector<QString> devices_;
    const QString standIn_;

    std::mutex mutex_;
    std::shared_future<Endpoint> choice_;
    // Devices before this one in devices_ failed; the next trial skips them.
    int firstUntried_ = 0;
    // Why the first device tried could not be used; the stand-in's reason.
    QString firstFailure_;
};
