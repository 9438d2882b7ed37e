// The program's entry: finds the program and user folders, makes sure this
// user runs one window, works in the user folder, checks the course-data
// library and brings up the main window.

#include "cli/CommandLine.h"
#include "platform/system/CourseLibrary.h"
#include "platform/web/PageEngine.h"
#include "shell/Features.h"
#include "shell/window/MainForm.h"
#include "shell/window/QtMessageBoxes.h"
#include "shell/window/Module1.h"
#include "course/RunFolders.h"
#include "shell/window/SingleInstance.h"
#include "shell/Platform.h"

#include <QApplication>
#include <QDir>

#include <unistd.h>

namespace {

// How long a second start waits for the running program to answer.
constexpr int kRaiseWaitMs = 10000;

}  // namespace

int main(int argc, char* argv[])
{
    setProcessMemoryRules();
    if (const std::optional<int> exitCode = runCommandLine(argc, argv))
        return *exitCode;
    // The page views' renderer refuses its sandbox when run by root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QGuiApplication::setDesktopFileName(LEXBAY_APP_ID);
    QtMessageBoxes messages;

    Module1::sAppPath = QCoreApplication::applicationDirPath();
    if (Module1::sAppPath.endsWith('/') && Module1::sAppPath.size() > 1)
        Module1::sAppPath.chop(1);
    const RunFolders folders = RunFolders::locate(Module1::sAppPath);

    SingleInstance instance(folders.user);
    if (!instance.claim()) {
        if (instance.raiseRunning(kRaiseWaitMs))
            return 0;
        messages.inform("Lexbay 已在运行，但没有响应。请关闭它后重新启动。");
        return 1;
    }
    const QString unusable = prepareUserFolder(folders);
    if (!unusable.isEmpty()) {
        messages.inform(unusable);
        return 1;
    }
    if (QDir::currentPath() != folders.user)
        QDir::setCurrent(folders.user);

    Platform platform = Platform::real(folders);
    const QString problem = platform.library->problem();
    if (!problem.isEmpty()) {
        messages.inform(QString("无法使用课程数据库 %1/liblexbaydll.so：%2").arg(folders.program, problem));
        return 1;
    }

    MainForm form(std::move(platform));
    plugInFeatures(form);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &form, [&form] { Module1::BringToFront(&form); });
    form.Form_Load();
    form.show();
    return app.exec();
}
