// The program's entry: fixes the working folder, checks the course-data
// library and brings up the main window.

#include "platform/system/CourseLibrary.h"
#include "shell/MainForm.h"
#include "platform/system/MessageBoxes.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QDir>

#include <unistd.h>

int main(int argc, char* argv[])
{
    // The page views' renderer refuses its sandbox when run by root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);

    Module1::sAppPath = QCoreApplication::applicationDirPath();
    if (QDir::currentPath() != Module1::sAppPath)
        QDir::setCurrent(Module1::sAppPath);
    if (Module1::sAppPath.endsWith('/') && Module1::sAppPath.size() > 1)
        Module1::sAppPath.chop(1);

    Platform platform = Platform::real(Module1::sAppPath);
    const QString problem = platform.library->problem();
    if (!problem.isEmpty()) {
        platform.messageBoxes->inform(nullptr, QString("无法使用课程数据库 %1/liblexbaydll.so：%2")
                                                   .arg(Module1::sAppPath, problem));
        return 1;
    }

    MainForm form(std::move(platform));
    form.Form_Load();
    form.show();
    return app.exec();
}
