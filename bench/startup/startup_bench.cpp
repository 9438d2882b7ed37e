// Start-up time: from the process's start to the first lesson shown in the
// real page view, the way the program starts (library from the program
// folder, WebEngine views, GStreamer player), and the resident memory then.
//
//   bench_startup <program folder>

#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"
#include "platform/web/PageEngine.h"
#include "platform/web/WebEngineHtmlView.h"
#include "shell/Features.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"

#include <QApplication>
#include <QDir>

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Seconds since this process started, from the kernel's own record.
double secondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22)
            startTicks = std::stoull(field);
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - double(startTicks) / sysconf(_SC_CLK_TCK);
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup <program folder>\n");
        return 2;
    }
    // Work in a copy: the program writes its pages into its folder.
    const QString folder = QDir::tempPath() + "/lexbay-startup-bench";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    if (std::system(QString("cp -r '%1/.' '%2/'").arg(argv[1], folder).toLocal8Bit().constData()) != 0)
        return 1;
    QDir::setCurrent(folder);
    Module1::sAppPath = folder;

    Platform platform = Platform::real(RunFolders::locate(folder));
    platform.settingsFile = folder + "/settings.ini";
    platform.studyRecordFile = folder + "/record/study.sqlite";
    platform.ownBooks.clear();
    MainForm form(std::move(platform));
    plugInFeatures(form);
    form.Form_Load();
    form.show();
    const double shown = secondsSinceProcessStart();
    std::printf("start-up to first lesson shown: %.0f ms (resident memory %ld MB)\n", shown * 1000,
                residentKilobytes() / 1024);
    form.close();
    QDir(folder).removeRecursively();
    return 0;
}
