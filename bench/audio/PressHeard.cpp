// One press of the real program heard at a sound server's monitor and placed
// in the lesson's recording: where the first sample heard lies, so a range
// that lost its first samples shows as a positive offset however soon it
// sounded. first-press-after-start runs it around each press.
//
//   bench_press_heard <monitor source> <recording> <range start s> <range end s>
//       prints "listening" once the monitor gives samples, then reads the
//       press's wall-clock time (ns since the epoch) from its input, listens
//       until the range has had time to end and prints
//       "heard <press → first sound, ms> at <s> sound <s>": where in the
//       recording the first sound heard lies ("unmatched" when it was not
//       found there) and where the recording's first sound after the range's
//       start lies, both from the same decoding; or "no sound".

#include "HeardSound.h"
#include "platform/gst/GstUtil.h"

#include <gst/gst.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

std::int64_t wallNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv)
{
    gstutil::ensureInitialised();
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_press_heard <monitor source> <recording> <range start s> <range end s>\n");
        return 2;
    }
    const double start = std::atof(argv[3]);
    const double end = std::atof(argv[4]);
    std::string error;
    const std::vector<std::int16_t> recording = heard::decodeMono(argv[2], &error);
    if (recording.empty()) {
        std::fprintf(stderr, "bench_press_heard: %s\n", error.c_str());
        return 1;
    }
    heard::MonitorCapture capture(argv[1]);
    if (!capture.start(&error)) {
        std::fprintf(stderr, "bench_press_heard: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    std::int64_t pressedWall = 0;
    if (!(std::cin >> pressedWall))
        return 2;
    // The press on the monitor's clock: as long before now as on the wall clock.
    const std::int64_t pressed = heard::nowNs() - (wallNowNs() - pressedWall);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::int64_t((end - start) * 1000) + 3000));
    capture.stop();
    const heard::Press press = heard::hear(capture, pressed, recording, start, end);
    if (press.silent) {
        std::printf("no sound\n");
        return 1;
    }
    // A range's silence is exact zeros, as the server's own is: the first
    // sound heard is the recording's first non-zero sample in the range.
    std::size_t sound = std::size_t(std::llround(start * heard::rate()));
    while (sound < recording.size() && recording[sound] == 0)
        ++sound;
    const double soundSeconds = double(sound) / heard::rate();
    if (press.firstSampleOffsetMs)
        std::printf("heard %.1f at %.5f sound %.5f\n", press.latencyMs, start + *press.firstSampleOffsetMs / 1000,
                    soundSeconds);
    else
        std::printf("heard %.1f at unmatched sound %.5f\n", press.latencyMs, soundSeconds);
    return 0;
}
