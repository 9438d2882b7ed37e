// Loads lessons one after another in one window — real WebEngine views, the
// GStreamer player on a silent sink — the way a learner clicks through the
// lessons of the first volume, playing a sentence of each. Reports the memory
// of the program and every WebEngine process (zygotes, renderers) after
// start-up and after each checkpoint, with the descriptors and threads the
// program holds: growth in any of them over the run points at a leak.
//
//   bench_lesson_load_soak [checkpoint ...]      (default 50 400 1000)
//
// Run under QT_QPA_PLATFORM=offscreen (or a virtual X session) and, as root,
// QTWEBENGINE_DISABLE_SANDBOX=1.

#include "CourseWindow.h"
#include "ProcessTreeMemory.h"
#include "platform/web/PageEngine.h"
#include "platform/web/WebEngineHtmlView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Before each reading the renderers finish what the last load started.
constexpr int kSettleMs = 1500;
constexpr int kReadings = 3;
constexpr int kReadingGapMs = 300;

struct Reading {
    ProcessTreeMemory memory;
    int descriptors;
    int threads;
    // The renderer's JavaScript heap as WebEngine itself counts it: used, total.
    double scriptHeapUsedMb = 0;
    double scriptHeapTotalMb = 0;
};

CourseWindow* window = nullptr;

int entriesIn(const char* folder)
{
    return int(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

Reading readOnce()
{
    Reading r{measureProcessTree(getpid()), entriesIn("/proc/self/fd"), entriesIn("/proc/self/task")};
    const QVariantList heap =
        window->runInPage("[performance.memory.usedJSHeapSize, performance.memory.totalJSHeapSize]").toList();
    r.scriptHeapUsedMb = heap.value(0).toDouble() / (1024 * 1024);
    r.scriptHeapTotalMb = heap.value(1).toDouble() / (1024 * 1024);
    return r;
}

// The reading with the median total of a few, so that one taken while a
// renderer was busy does not stand for the checkpoint.
Reading read()
{
    settle(kSettleMs);
    std::vector<Reading> readings;
    for (int i = 0; i < kReadings; ++i) {
        if (i > 0)
            settle(kReadingGapMs);
        readings.push_back(readOnce());
    }
    std::sort(readings.begin(), readings.end(),
              [](const Reading& a, const Reading& b) { return a.memory.pssKilobytes < b.memory.pssKilobytes; });
    return readings[readings.size() / 2];
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one;
}

double megabytes(long kilobytes) { return double(kilobytes) / 1024; }

void print(const std::string& when, const Reading& r)
{
    struct Kind {
        int processes = 0;
        long pss = 0;
        long anonymous = 0;
    };
    std::map<std::string, Kind> byKind;
    for (const ProcessMemory& p : r.memory.processes) {
        Kind& kind = byKind[p.kind];
        ++kind.processes;
        kind.pss += p.pssKilobytes;
        kind.anonymous += p.anonymousKilobytes;
    }
    std::string kinds;
    for (const auto& [name, kind] : byKind) {
        char part[128];
        std::snprintf(part, sizeof part, "%s%s %d × %.1f MB, anonymous %.1f MB", kinds.empty() ? "" : "; ",
                      name.c_str(), kind.processes, megabytes(kind.pss), megabytes(kind.anonymous));
        kinds += part;
    }
    std::printf("%s: total PSS %.1f MB in %zu processes (%s); distinct pages %.1f MB; descriptors %d, threads %d; "
                "script heap %.1f of %.1f MB; other WebEngine processes %d, load %s\n",
                when.c_str(), megabytes(r.memory.pssKilobytes), r.memory.processes.size(), kinds.c_str(),
                megabytes(r.memory.distinctKilobytes), r.descriptors, r.threads, r.scriptHeapUsedMb, r.scriptHeapTotalMb,
                otherWebEngineProcesses(getpid()),
                loadAverage().c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    leaveOpenGlUnloaded();
    // Exact script heap figures rather than rounded ones refreshed rarely.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --enable-precise-memory-info");
    QApplication app(argc, argv);
    std::vector<int> checkpoints;
    for (int i = 1; i < argc; ++i)
        checkpoints.push_back(std::atoi(argv[i]));
    if (checkpoints.empty())
        checkpoints = {50, 400, 1000};
    std::sort(checkpoints.begin(), checkpoints.end());

    CourseWindow course;
    window = &course;
    MainForm& f = course.start();
    settleUntil([] { return window->welcome().document() != nullptr; }, 20000);
    print("start", read());

    std::map<int, Reading> at;
    QElapsedTimer clock;
    clock.start();
    QListWidget& lessons = *ui(f).lsLesson;
    int previous = 0;
    for (int n = 1; n <= checkpoints.back(); ++n) {
        // The lessons of the first volume in turn; each selection loads one.
        lessons.setCurrentRow(n % lessons.count());
        f.playback().PlaySentence(0, true);
        QTest::qWait(30);
        if (std::find(checkpoints.begin(), checkpoints.end(), n) != checkpoints.end()) {
            const double loadMs = double(clock.elapsed()) / (n - previous);
            previous = n;
            at[n] = read();
            print("after " + std::to_string(n) + " loads", at[n]);
            std::printf("  %.0f ms per lesson load and sentence since the last reading\n", loadMs);
            clock.restart();
        }
    }
    course.player().stop();

    const Reading& first = at.begin()->second;
    const Reading& last = at.rbegin()->second;
    std::printf("growth from %d to %d loads: total PSS %+.1f MB, distinct pages %+.1f MB, descriptors %+d, "
                "threads %+d, processes %+d\n",
                at.begin()->first, at.rbegin()->first,
                megabytes(last.memory.pssKilobytes - first.memory.pssKilobytes),
                megabytes(last.memory.distinctKilobytes - first.memory.distinctKilobytes),
                last.descriptors - first.descriptors, last.threads - first.threads,
                int(last.memory.processes.size()) - int(first.memory.processes.size()));
    return 0;
}
