// The lesson player on a real sound server, heard at the server's monitor
// and matched sample by sample against the recording: for an audio lesson
// and a video lesson, the first press after the file opened, later presses,
// a press after a speed change and a stopped range, the next range made
// ready as a range ends (as the study modes do), auto-browse's pause, and
// the first press after another file opened. For each: press → first sample
// heard, where that sample lies against the range's start, and any sound
// after the range's end.
//
// Run by heard-ranges, which starts a PulseAudio server of its own on a null
// sink; PULSE_SERVER must name it.
//
//   bench_heard_ranges <work folder> [runs] [sample rate]

#include "HeardSound.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/gst/GstUtil.h"
#include "platform/video/VideoFrames.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Range {
    double start;
    double end;
};

// Sentence ranges of the bench recording, as a timing file gives them.
const Range kRanges[] = {{0.62, 2.31}, {2.31, 4.47}, {4.47, 6.35}, {6.35, 8.52}};

class Bench {
public:
    Bench(const QString& file, bool video, const std::vector<std::int16_t>& recording)
        : file_(file), video_(video), recording_(recording)
    {
        frames_ = std::make_shared<VideoFrames>();
    }

    // A player of its own, as a program start makes it.
    void start()
    {
        const QString sink = qEnvironmentVariable("HEARD_SINK");
        player_ = sink.isEmpty() ? std::make_unique<GstMediaPlayer>() : std::make_unique<GstMediaPlayer>(sink);
        player_->setPictureOutput(frames_);
        open();
    }

    void open()
    {
        if (video_)
            player_->setVideoFileName(file_);
        else
            player_->setFileName(file_);
    }

    // Presses range r and waits for its end; `afterEnd` runs at the end of
    // the range, as a mode's step does.
    heard::Press press(const char* what, int r, std::function<void()> afterEnd = {})
    {
        const Range range = kRanges[r];
        const heard::Press heard = heard::playAndHear(*player_, recording_, range.start, range.end, afterEnd, 1600);
        report(what, heard);
        return heard;
    }

    // Plays range r and stops it after `ms`, as a click elsewhere does.
    void stopAfter(int r, int ms)
    {
        play(r);
        heard::wait(ms);
        player_->stop();
    }

    void stop() { player_->stop(); }

    void play(int r) { heard::playRange(*player_, kRanges[r].start, kRanges[r].end); }

    void prepare(int r) { player_->prepareRange(kRanges[r].start, kRanges[r].end); }
    void setRate(double rate) { player_->setRate(rate); }
    double outputLeadSeconds() const { return player_->outputLeadSeconds(); }

    void report(const char* what, const heard::Press& press)
    {
        const std::string key = std::string(video_ ? "video" : "audio") + ", " + what;
        if (press.silent) {
            std::printf("%s: nothing heard\n", key.c_str());
            silent_[key]++;
            return;
        }
        latency_[key].push_back(press.latencyMs);
        if (press.firstSampleOffsetMs)
            offset_[key].push_back(*press.firstSampleOffsetMs);
        after_[key].push_back(press.heardAfterEndMs);
        QString first = QStringLiteral("not matched");
        if (press.firstSampleOffsetMs)
            first = QString::asprintf("%+.2f ms from the range's", *press.firstSampleOffsetMs);
        else if (press.heardFromSeconds)
            first = QString::asprintf("at %.3f s of the recording", *press.heardFromSeconds);
        std::printf("%s: press -> first sample %.1f ms, first sample %s, after the end %.1f ms heard\n", key.c_str(),
                    press.latencyMs, qPrintable(first), press.heardAfterEndMs);
        std::fflush(stdout);
    }

    void summary() const
    {
        for (const auto& [key, latencies] : latency_) {
            std::vector<double> sorted = latencies;
            std::sort(sorted.begin(), sorted.end());
            double worstOffset = 0, worstAfter = 0;
            if (offset_.count(key))
                for (double o : offset_.at(key))
                    worstOffset = std::max(worstOffset, std::abs(o));
            for (double a : after_.at(key))
                worstAfter = std::max(worstAfter, a);
            std::printf("%s, %zu presses: press -> first sample median %.1f ms, worst %.1f ms; first sample off by "
                        "at most %s; heard after the end at most %.1f ms\n",
                        key.c_str(), sorted.size(), sorted[sorted.size() / 2], sorted.back(),
                        offset_.count(key) ? qPrintable(QString::asprintf("%.2f ms", worstOffset)) : "(not matched)",
                        worstAfter);
        }
    }

    std::vector<double> pauses;

private:
    QString file_;
    bool video_;
    const std::vector<std::int16_t>& recording_;
    std::shared_ptr<VideoFrames> frames_;
    std::unique_ptr<GstMediaPlayer> player_;
    std::map<std::string, std::vector<double>> latency_, offset_, after_;
    std::map<std::string, int> silent_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || qgetenv("PULSE_SERVER").isEmpty()) {
        std::fprintf(stderr, "usage: bench_heard_ranges <work folder> [runs] (under heard-ranges)\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    heard::setRate(argc > 3 ? std::atoi(argv[3]) : 44100);
    std::string made;
    if (!heard::makeRecordings(folder.toStdString(), &made)) {
        std::fprintf(stderr, "%s\n", made.c_str());
        return 1;
    }
    gstutil::ensureInitialised();
    std::string error;
    const std::vector<std::int16_t> fromMp3 = heard::decodeMono((folder + "/lesson.mp3").toStdString(), &error);
    const std::vector<std::int16_t> fromVideo = heard::decodeMono((folder + "/lesson.mp4").toStdString(), &error);
    if (fromMp3.empty() || fromVideo.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    for (const bool video : {false, true}) {
        Bench bench(folder + (video ? "/lesson.mp4" : "/lesson.mp3"), video, video ? fromVideo : fromMp3);
        for (int run = 0; run < runs; ++run) {
            bench.start();
            heard::wait(2000);
            bench.press("first press after the file opened", 1);
            bench.press("later press", 0);
            bench.press("later press, the next range made ready at its end", 2, [&] { bench.prepare(3); });
            // Auto-browse: the next sentence made ready as one ends, played
            // after a pause of a second, started the player's output lead
            // sooner as auto-browse starts it.
            const heard::Press paused = bench.press("auto-browse, a pause of 1 s", 1, [&] {
                bench.prepare(2);
                heard::wait(1000 - int(std::lround(bench.outputLeadSeconds() * 1000)));
                bench.play(2);
            });
            if (paused.pauseAfterMs)
                bench.pauses.push_back(*paused.pauseAfterMs);
            // The sentence after the pause is not heard into the next press.
            bench.stop();
            heard::wait(300);
            bench.setRate(0.5);
            bench.press("at 50 %", 1);
            bench.setRate(1.0);
            bench.stopAfter(0, 600);
            heard::wait(300);
            bench.press("after a speed change and a stopped range", 2);
            bench.stopAfter(0, 600);
            heard::wait(3000);
            bench.press("3 s after a stopped range", 1);
            // The same at a learner's pace: the speed set back a while after
            // the slower range ended, the range stopped well into it.
            bench.setRate(0.5);
            bench.press("at 50 %", 2);
            heard::wait(2000);
            bench.setRate(1.0);
            heard::wait(1000);
            bench.stopAfter(3, 1500);
            heard::wait(2000);
            bench.press("2 s after a speed change and a stopped range", 0);
            bench.open();
            heard::wait(3000);
            bench.press("first press after another file opened", 3);
        }
        bench.summary();
        for (double pause : bench.pauses)
            std::printf("%s, auto-browse's pause of 1000 ms: %.1f ms heard\n", video ? "video" : "audio", pause);
    }
    return 0;
}
