#pragma once

// What a sound server really played, matched sample by sample against the
// recording that was played: the monitor of its output is captured with the
// wall-clock time of every sample, and a stretch of it is found in the
// recording. The recordings these benchmarks play carry a faint noise floor,
// so every played sample is non-zero and the server's own silence (exact
// zeros) tells where playback began and ended.

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class MediaPlayer;

namespace heard {

// The sample rate of the server's output, which the recordings played have
// too, so that the server passes their samples on unchanged: 44100 unless
// set.
void setRate(int samplesPerSecond);
int rate();

// Nanoseconds on the steady clock, as the press is taken.
std::int64_t nowNs();

// Writes lesson.mp3 and lesson.mp4 (H.264 and AAC) into `folder`: 12 s of
// speech over a faint noise floor at rate(), the same sound in both.
bool makeRecordings(const std::string& folder, std::string* error);

// The samples of a sound file, mono at rate(), decoded as the player decodes.
std::vector<std::int16_t> decodeMono(const std::string& path, std::string* error);

// The monitor of a sound server's output (a PulseAudio source such as
// "null.monitor"), captured from start() until stop().
class MonitorCapture {
public:
    explicit MonitorCapture(std::string monitor);
    ~MonitorCapture();
    // True once samples arrive.
    bool start(std::string* error);
    void stop();

    // Index of the sample that left the server at `ns` (steady clock).
    std::int64_t sampleAt(std::int64_t ns) const;
    std::int64_t timeOf(std::int64_t sample) const;
    std::vector<std::int16_t> samples() const;

private:
    static void onBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer self);

    std::string monitor_;
    GstElement* pipeline_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    // (samples captured so far, steady time their last one arrived)
    std::vector<std::pair<std::int64_t, std::int64_t>> arrivals_;
};

// One press as heard: the range's first sample that came out, when, and
// whatever came out after the range's end.
struct Press {
    // Nothing non-zero came out after the press.
    bool silent = true;
    // Press → first non-zero sample at the monitor.
    double latencyMs = 0;
    // Where in the recording the first sample heard lies, against the range's
    // start: 0 for exact, positive when the range's first samples were lost.
    // Empty when the sound did not match the recording (another speed).
    std::optional<double> firstSampleOffsetMs;
    // Where the first sample heard lies in the recording when that is far
    // from the range's start.
    std::optional<double> heardFromSeconds;
    // Sound that came out after the range's end had been played, in ms.
    double heardAfterEndMs = 0;
    // Silence between the range's last sample and the next sound, in ms;
    // empty when nothing followed.
    std::optional<double> pauseAfterMs;
};

// Reads the capture from `pressNs` on for a range [start, end) of
// `recording` played at `rate`. A range at another speed is not matched
// sample by sample: only its latency and what follows it are told.
Press hear(const MonitorCapture& capture, std::int64_t pressNs, const std::vector<std::int16_t>& recording,
           double start, double end, double rate = 1.0);

// Plays [start, end) on `player` as a press does, heard at the monitor of the
// sound server's null sink: waits for the range's end, runs `atEnd` there
// (as a study mode's step does) and listens `listenMs` more. A silent Press
// when the range never ends.
Press playAndHear(MediaPlayer& player, const std::vector<std::int16_t>& recording, double start, double end,
                  const std::function<void()>& atEnd = {}, int listenMs = 1500);

// Plays [start, end) on `player` from its start, as a press does.
void playRange(MediaPlayer& player, double start, double end);

// Waits that long, the event loop running.
void wait(int ms);

}  // namespace heard
