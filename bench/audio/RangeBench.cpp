// Opens an MP3 20 times, then plays 100 random ranges (fixed seed) of it
// through the lesson player into a clock-synchronised fake sink and prints,
// as median and worst:
//   - open: setFileName() until the duration is known;
//   - start latency: play() → first buffer handed to the sink;
//   - end error: player position at end-of-stream − requested range end;
//   - length error: audio handed to the sink − requested range length.
// The same ranges again at 50 % and 80 % of the recorded speed, on a sink
// that does not wait for the clock: start latency, end error, and the length
// error against the range length ÷ speed. With mpv on PATH, the same ranges through
// `mpv --start --end [--speed]` into a PCM file give mpv's length errors for
// comparison.
//
//   bench_audio_ranges [file.mp3]

#include "platform/audio/GstMediaPlayer.h"
#include "platform/gst/GstUtil.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRanges = 100;
constexpr int kOpens = 20;
constexpr unsigned kSeed = 20261207;
constexpr double kShortest = 0.3;
constexpr double kLongest = 2.5;
const QString kSink = QStringLiteral("fakesink sync=true signal-handoffs=true");
const QString kFastSink = QStringLiteral("fakesink sync=false signal-handoffs=true");
constexpr double kSlowerSpeeds[] = {0.5, 0.8};

struct Range {
    double start;
    double end;
};

// Filled from the sink's streaming thread through a handoff emission hook,
// so the player stays the pipeline's only door.
std::atomic<bool> awaitingFirstBuffer{false};
std::atomic<Clock::rep> firstBufferAt{0};
std::atomic<gint64> handedOffNs{0};

gboolean onHandoff(GSignalInvocationHint*, guint, const GValue* values, gpointer)
{
    auto* buffer = static_cast<GstBuffer*>(g_value_get_boxed(&values[1]));
    if (awaitingFirstBuffer.exchange(false))
        firstBufferAt = Clock::now().time_since_epoch().count();
    if (buffer && GST_BUFFER_DURATION_IS_VALID(buffer))
        handedOffNs += static_cast<gint64>(GST_BUFFER_DURATION(buffer));
    return TRUE;
}

std::vector<Range> randomRanges(double duration)
{
    std::mt19937 random(kSeed);
    std::vector<Range> ranges;
    for (int i = 0; i < kRanges; ++i) {
        const double start = std::uniform_real_distribution<double>(0.0, duration - kShortest)(random);
        const double longest = std::min(kLongest, duration - start);
        const double length = std::uniform_real_distribution<double>(kShortest, longest)(random);
        // Course timing files give hundredths of a second.
        ranges.push_back({std::round(start * 100) / 100, std::round((start + length) * 100) / 100});
    }
    return ranges;
}

struct Summary {
    double median;
    double worst;
};

Summary summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double worst = 0;
    for (double value : values)
        worst = std::max(worst, std::abs(value));
    return {values[values.size() / 2], worst};
}

void print(const char* what, const std::vector<double>& milliseconds)
{
    const Summary summary = summarise(milliseconds);
    std::printf("%-44s median %8.3f ms   worst |%.3f| ms\n", what, summary.median, summary.worst);
}

double wavSeconds(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    int rate = 0;
    int blockAlign = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            rate = static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + at + 12));
            blockAlign = qFromLittleEndian<quint16>(bytes.constData() + at + 20);
        }
        if (id == "data" && rate > 0 && blockAlign > 0) {
            // A writer that was cut short leaves the size unset: count the bytes.
            const qsizetype dataBytes = size ? qsizetype(size) : bytes.size() - at - 8;
            return double(dataBytes) / blockAlign / rate;
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

void compareWithMpv(const QString& file, const std::vector<Range>& ranges, double speed)
{
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    if (mpv.isEmpty()) {
        std::printf("mpv: not installed, comparison skipped\n");
        return;
    }
    QTemporaryDir folder;
    const QString pcm = folder.filePath(QStringLiteral("range.wav"));
    std::vector<double> lengthErrors;
    for (const Range& range : ranges) {
        QProcess::execute(mpv,
            {QStringLiteral("--no-config"), QStringLiteral("--really-quiet"), QStringLiteral("--vo=null"),
                QStringLiteral("--ao=pcm"), QStringLiteral("--ao-pcm-file=") + pcm,
                QStringLiteral("--speed=%1").arg(speed), QStringLiteral("--start=%1").arg(range.start),
                QStringLiteral("--end=%1").arg(range.end), file});
        const double seconds = wavSeconds(pcm);
        if (seconds >= 0)
            lengthErrors.push_back((seconds - (range.end - range.start) / speed) * 1000);
    }
    if (lengthErrors.empty()) {
        std::printf("mpv: produced no output, comparison skipped\n");
        return;
    }
    const QString what = speed == 1.0 ? QStringLiteral("mpv --start --end: length error")
                                      : QStringLiteral("mpv --speed=%1: length error").arg(speed);
    print(qPrintable(what), lengthErrors);
}

struct RangeFigures {
    std::vector<double> startLatency, endError, lengthError;
};

// Plays each range at `speed`, waiting for its end; the length error is
// against the range length ÷ speed. Nothing when a range never ends.
std::optional<RangeFigures> playRanges(GstMediaPlayer& player, const std::vector<Range>& ranges, double speed)
{
    player.setRate(speed);
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    RangeFigures figures;
    for (const Range& range : ranges) {
        player.stop();
        player.setSelectionStart(range.start);
        player.setSelectionEnd(range.end);
        player.setCurrentPosition(range.start);
        handedOffNs = 0;
        awaitingFirstBuffer = true;
        const Clock::time_point playAt = Clock::now();
        player.play();
        if (!ends.wait(10000)) {
            std::fprintf(stderr, "range %.2f–%.2f at %.0f %% never ended\n", range.start, range.end, speed * 100);
            return std::nullopt;
        }
        figures.startLatency.push_back(std::chrono::duration<double, std::milli>(
            Clock::duration(firstBufferAt.load()) - playAt.time_since_epoch()).count());
        figures.endError.push_back((player.currentPosition() - range.end) * 1000);
        figures.lengthError.push_back(
            (gstutil::toSeconds(handedOffNs.load()) - (range.end - range.start) / speed) * 1000);
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(LEXBAY_BENCH_MP3);

    GstMediaPlayer player(kSink);
    std::vector<double> openTimes;
    for (int i = 0; i < kOpens; ++i) {
        const Clock::time_point openAt = Clock::now();
        player.setFileName(file);
        openTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - openAt).count());
    }
    if (player.duration() <= kShortest) {
        std::fprintf(stderr, "%s\n", qPrintable(player.lastError()));
        return 1;
    }
    g_signal_add_emission_hook(g_signal_lookup("handoff", g_type_from_name("GstFakeSink")), 0, &onHandoff, nullptr, nullptr);

    const std::vector<Range> ranges = randomRanges(player.duration());
    const std::optional<RangeFigures> atFull = playRanges(player, ranges, 1.0);
    if (!atFull)
        return 1;
    std::printf("%d ranges of %.2f–%.2f s from %s (seed %u)\n", kRanges, kShortest, kLongest, qPrintable(file), kSeed);
    print("setFileName() -> duration known", openTimes);
    print("play() -> first buffer at the sink", atFull->startLatency);
    print("position at end-of-stream - range end", atFull->endError);
    print("audio handed to the sink - range length", atFull->lengthError);
    compareWithMpv(file, ranges, 1.0);

    GstMediaPlayer slower(kFastSink);
    slower.setFileName(file);
    for (const double speed : kSlowerSpeeds) {
        const std::optional<RangeFigures> slowed = playRanges(slower, ranges, speed);
        if (!slowed)
            return 1;
        const int percent = int(speed * 100);
        print(qPrintable(QStringLiteral("at %1 %: play() -> first buffer at the sink").arg(percent)),
              slowed->startLatency);
        print(qPrintable(QStringLiteral("at %1 %: position at end-of-stream - range end").arg(percent)),
              slowed->endError);
        print(qPrintable(QStringLiteral("at %1 %: audio to the sink - length / speed").arg(percent)),
              slowed->lengthError);
        compareWithMpv(file, ranges, speed);
    }
    return 0;
}
