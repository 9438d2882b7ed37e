// Loads lessons one after another in one window — real WebEngine views, the
// GStreamer player on a silent sink — and plays a sentence of each, then
// reports the resources the process holds after the first 20 loads and after
// all of them: resident memory (the program and its page renderers), open
// file descriptors, threads and child processes. Growth in any of them over
// the run points at a leak.
//   bench_lesson_load_soak [loads]      (default 200)
// Run under QT_QPA_PLATFORM=offscreen and QTWEBENGINE_DISABLE_SANDBOX=1.

#include "CourseWindow.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QComboBox>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

constexpr int kWarmUpLoads = 20;

long statusKilobytes(const std::string& statusFile, const char* field)
{
    std::ifstream status(statusFile);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    }
    return 0;
}

// This process's descendants (the page renderers and the GPU process).
std::set<int> descendants()
{
    std::set<int> found{int(getpid())};
    for (bool grew = true; grew;) {
        grew = false;
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            bool isPid = false;
            const int pid = entry.toInt(&isPid);
            if (!isPid || found.count(pid) != 0)
                continue;
            std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)), {});
            const std::size_t close = text.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(text.substr(close + 2));
            char state;
            int parent = 0;
            rest >> state >> parent;
            if (found.count(parent) != 0) {
                found.insert(pid);
                grew = true;
            }
        }
    }
    found.erase(int(getpid()));
    return found;
}

struct Resources {
    long ownKilobytes;
    long childKilobytes;
    int children;
    int descriptors;
    int threads;
};

Resources measure()
{
    Resources r{statusKilobytes("/proc/self/status", "VmRSS:"), 0, 0,
                int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files).size()),
                int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size())};
    for (int pid : descendants()) {
        r.childKilobytes += statusKilobytes("/proc/" + std::to_string(pid) + "/status", "VmRSS:");
        ++r.children;
    }
    return r;
}

void print(const char* when, const Resources& r)
{
    std::printf("%-16s program %6ld kB  renderers %6ld kB (%d processes)  descriptors %4d  threads %3d\n", when,
                r.ownKilobytes, r.childKilobytes, r.children, r.descriptors, r.threads);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int loads = argc > 1 ? std::atoi(argv[1]) : 200;

    CourseWindow window;
    MainForm& f = window.start();
    ui(f).wbAdv->hide();
    Resources afterWarmUp{};
    for (int n = 1; n <= loads; ++n) {
        // Every lesson of both volumes in turn.
        const int volume = (n / ui(f).lsLesson->count()) % ui(f).cbVolume->count();
        if (ui(f).cbVolume->currentIndex() != volume)
            ui(f).cbVolume->setCurrentIndex(volume);
        else
            ui(f).lsLesson->setCurrentRow(n % ui(f).lsLesson->count());
        f.playback().PlaySentence(0, true);
        QTest::qWait(30);
        if (n == kWarmUpLoads) {
            afterWarmUp = measure();
            print("after 20 loads", afterWarmUp);
        } else if (n % 200 == 0 && n < loads) {
            print(("after " + std::to_string(n) + " loads").c_str(), measure());
        }
    }
    window.player().stop();
    QTest::qWait(500);
    const Resources atEnd = measure();
    print(("after " + std::to_string(loads) + " loads").c_str(), atEnd);
    std::printf("growth: program %+ld kB, renderers %+ld kB, descriptors %+d, threads %+d, processes %+d\n",
                atEnd.ownKilobytes - afterWarmUp.ownKilobytes, atEnd.childKilobytes - afterWarmUp.childKilobytes,
                atEnd.descriptors - afterWarmUp.descriptors, atEnd.threads - afterWarmUp.threads,
                atEnd.children - afterWarmUp.children);
    return 0;
}
