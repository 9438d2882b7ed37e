// The study modes in the real window (WebEngine page, GStreamer player on a
// clock-synchronised fake sink), measured:
//   - CPU time the whole process uses during an auto-browse pause of 3 s,
//     as a share of one core (the pause waits in the event loop);
//   - press on a sentence's sound icon in the live page → first audio sample
//     handed to the sink;
//   - press on 重听 in the review window → first sample of the sentence from
//     its lesson's recording, on the review's own player.

#include "ModesWindow.h"
#include "ReviewedSentences.h"

#include "platform/audio/MediaPlayer.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QWebEngineView>

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPauses = 3;
constexpr int kPresses = 20;
// "1.5 倍句长" after the first sentence of the short lesson (2.0 s).
constexpr int kGapOneAndHalf = 4;

std::atomic<Clock::rep> firstSampleAt{0};

// Runs on the sink's streaming thread for every buffer it renders; keeps the
// first one after it was cleared.
gboolean onHandoff(GSignalInvocationHint*, guint, const GValue*, gpointer)
{
    Clock::rep expected = 0;
    firstSampleAt.compare_exchange_strong(expected, Clock::now().time_since_epoch().count());
    return TRUE;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measurePauseCpu()
{
    ModesWindow w;
    MainForm& f = w.load();
    ui(f).cbRepeatTimes->setCurrentIndex(0);
    ui(f).cbBrowseGap->setCurrentIndex(kGapOneAndHalf);
    std::printf("auto-browse pause (%s after a 2.0 s sentence):\n", qPrintable(ui(f).cbBrowseGap->currentText()));
    for (int pause = 0; pause < kPauses; ++pause) {
        f.session().SetCurSentence(0);
        w.player().events.clear();
        f.Toolbar1_ButtonClick("btBrowse");
        // Play, end-of-stream (the pause begins), play of the next sentence.
        ModesWindow::waitFor([&] { return w.player().events.size() >= 3; }, 15000);
        f.Toolbar1_ButtonClick("btBrowse");
        const auto& events = w.player().events;
        if (events.size() < 3) {
            std::printf("  the pause did not end\n");
            return;
        }
        const double wallMs = events[2].atMs - events[1].atMs;
        const double cpuMs = events[2].cpuMs - events[1].cpuMs;
        std::printf("  pause %d: %.0f ms, CPU %.1f ms = %.2f %% of one core\n", pause + 1, wallMs, cpuMs,
                    100.0 * cpuMs / wallMs);
    }
}

const char* const kTimedSink = "fakesink sync=true signal-handoffs=true";

void watchSinks()
{
    static bool watching = false;
    if (!watching)
        g_signal_add_emission_hook(g_signal_lookup("handoff", g_type_from_name("GstFakeSink")), 0, &onHandoff,
                                   nullptr, nullptr);
    watching = true;
}

void printLatencies(const char* what, const std::vector<double>& latencies)
{
    if (latencies.empty())
        return;
    std::printf("%s, %zu presses:\n", what, latencies.size());
    std::printf("  median %.1f ms, best %.1f ms, worst %.1f ms\n", median(latencies),
                *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()));
}

// Waits until no sink has handed on a sample for 100 ms.
void waitForQuiet()
{
    for (int i = 0; i < 100; ++i) {
        firstSampleAt = 0;
        ModesWindow::waitFor([] { return false; }, 100);
        if (firstSampleAt == 0)
            return;
    }
}

void measureReviewLatency()
{
    ModesWindow w([](const QString& folder) { reviewedLongAgo(folder); }, kTimedSink);
    MainForm& f = w.load();
    watchSinks();
    f.Toolbar1_ButtonClick("btReview");
    auto* form = f.findChild<QDialog*>("ReviewForm");
    auto* replay = form ? form->findChild<QPushButton*>("btReviewReplay") : nullptr;
    if (!replay || !ModesWindow::waitFor([&] { return replay->isEnabled() && form->isVisible(); }, 10000)) {
        std::printf("review window: no sentence to review\n");
        return;
    }
    std::vector<double> latencies;
    for (int press = 0; press < kPresses / 2; ++press) {
        waitForQuiet();
        const Clock::rep pressedAt = Clock::now().time_since_epoch().count();
        replay->click();
        if (!ModesWindow::waitFor([] { return firstSampleAt != 0; }, 5000)) {
            std::printf("  重听: no sample within 5 s\n");
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::duration(firstSampleAt - pressedAt))
                                .count());
    }
    printLatencies("review window: press on 重听 -> first sample at the sink", latencies);
}

void measurePressLatency()
{
    ModesWindow w({}, kTimedSink);
    MainForm& f = w.load();
    watchSinks();
    std::vector<double> latencies;
    for (int press = 0; press < kPresses; ++press) {
        const QString icon = QString("imgs%1").arg(press % f.session().sentenceCount());
        const QPoint centre = w.centreOf(icon);
        // The sentence of the previous press must not hand samples on.
        w.player().stop();
        ModesWindow::waitFor([] { return false; }, 50);
        firstSampleAt = 0;
        const Clock::rep pressedAt = Clock::now().time_since_epoch().count();
        w.pressAt(centre);
        if (!ModesWindow::waitFor([] { return firstSampleAt != 0; }, 5000)) {
            std::printf("  press on %s: no sample within 5 s\n", qPrintable(icon));
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::duration(firstSampleAt - pressedAt))
                                .count());
        ModesWindow::waitFor([] { return false; }, 150);
    }
    printLatencies("press on a sound icon -> first sample at the sink", latencies);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    measurePauseCpu();
    measurePressLatency();
    measureReviewLatency();
    return 0;
}
