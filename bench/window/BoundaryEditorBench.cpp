// The boundary editor in the window as the program composes it, on an own
// lesson the staged program imports from an espeak-ng recording: Ctrl+B →
// the sentence's wave drawn, the first time (the recording summarised and
// kept) and then from the kept summary, over every sentence; and a boundary
// dragged at 60 moves a second for 5 s: the program's CPU time over that
// time, as a share of one core, beside the program at rest with the editor
// open.
//
//   bench_boundary_editor <program folder> [rounds]

#include "bench/BenchProcess.h"
#include "shell/Features.h"
#include "shell/boundaries/WaveformView.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "platform/web/PageEngine.h"
#include "study/StudySession.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kText =
    "Good morning, Anna. How are you today?\n"
    "I am fine, thank you, and you?\n"
    "The train to the city leaves at nine.\n"
    "We will meet at the station near the bank.\n"
    "Please bring the letter and the old map.\n"
    "After lunch we can walk along the river.\n"
    "The market closes early on Sunday evening.\n"
    "See you tomorrow, and have a good night.\n";

bool importLesson(const QString& program, const QString& folder)
{
    const QString text = folder + "/lesson-text.txt", wav = folder + "/lesson.wav";
    QFile file(text);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(kText);
    file.close();
    QString spoken = QString(kText).replace('\n', ' ');
    if (QProcess::execute("espeak-ng", {"-v", "en-us", "-s", "150", "-g", "12", "-w", wav, spoken}) != 0)
        return false;
    return QProcess::execute(program, {"--import", "--volume", "我的课本", "--title", "Bench", wav, text}) == 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// As a keyboard's key comes: through the window, where shortcuts are found.
void key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(to, key, modifiers);
}

void mouse(QWidget* view, QEvent::Type type, double x)
{
    const QPointF at(x, view->height() / 2.0);
    QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

// Ctrl+B in the window until the editor's wave is drawn: milliseconds, or -1.
double openAndDraw(MainForm& form, QDialog*& editor)
{
    QElapsedTimer clock;
    clock.start();
    QWidget* focus = QApplication::focusWidget();
    key(focus != nullptr ? focus : &form, Qt::Key_B, Qt::ControlModifier);
    editor = form.findChild<QDialog*>("BoundaryEditor");
    WaveformView* view = editor ? editor->findChild<WaveformView*>("vwWaveform") : nullptr;
    while (view != nullptr && !view->showsWave() && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    if (view == nullptr || !view->showsWave())
        return -1;
    view->repaint();
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char* argv[])
{
    // As the program does at its start.
    setProcessMemoryRules();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    leaveOpenGlUnloaded();
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_boundary_editor <program folder> [rounds]\n");
        return 2;
    }
    const QString folder = QDir::tempPath() + "/lexbay-boundary-bench";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + "/program");
    qputenv("XDG_DATA_HOME", (folder + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (folder + "/cache").toLocal8Bit());
    QApplication app(argc, argv);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (std::system(QString("cp -r '%1/.' '%2/program/'").arg(argv[1], folder).toLocal8Bit().constData()) != 0 ||
        !importLesson(folder + "/program/Lexbay", folder)) {
        std::fprintf(stderr, "bench_boundary_editor: the own lesson could not be made\n");
        return 1;
    }
    const QString program = folder + "/program";
    QDir::setCurrent(program);
    Module1::sAppPath = program;
    Platform platform = Platform::real(RunFolders::locate(program));
    platform.settingsFile = folder + "/settings.ini";
    platform.studyRecordFile = folder + "/record/study.sqlite";
    MainForm form(std::move(platform));
    plugInFeatures(form);
    form.Form_Load();
    form.show();
    form.activateWindow();
    settle(1500);
    if (QWidget* welcome = form.findChild<QWidget*>("wbAdv"))
        welcome->hide();
    auto* volumes = form.findChild<QComboBox*>("cbVolume");
    volumes->setCurrentIndex(volumes->findText("我的课本"));
    settle(1500);
    const int sentences = form.session().sentenceCount();

    QDialog* editor = nullptr;
    const double first = openAndDraw(form, editor);
    if (first < 0) {
        std::fprintf(stderr, "bench_boundary_editor: the editor drew no wave\n");
        return 1;
    }
    key(editor, Qt::Key_Escape);
    std::vector<double> kept;
    for (int round = 0; round < rounds; ++round) {
        for (int n = 0; n < sentences; ++n) {
            form.session().SetCurSentence(n);
            settle(50);
            kept.push_back(openAndDraw(form, editor));
            key(editor, Qt::Key_Escape);
        }
    }

    // A drag of the sentence's end, 60 moves a second.
    form.session().SetCurSentence(1);
    openAndDraw(form, editor);
    auto* view = editor->findChild<WaveformView*>("vwWaveform");
    const double end = form.session().sentenceTimes().at(2);
    settle(500);
    // The program at rest with the editor open, for comparison.
    const auto restingCpu = [] {
        QElapsedTimer rest;
        rest.start();
        const double before = cpuSeconds();
        QEventLoop wait;
        QTimer::singleShot(3000, &wait, &QEventLoop::quit);
        wait.exec();
        return (cpuSeconds() - before) / (rest.nsecsElapsed() / 1e9);
    };
    const double resting = restingCpu();
    mouse(view, QEvent::MouseButtonPress, view->xAt(end));
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = cpuSeconds();
    int moves = 0;
    while (clock.elapsed() < 5000) {
        const double phase = (clock.elapsed() % 2000) / 2000.0;
        mouse(view, QEvent::MouseMove, view->xAt(end - 0.3 + 0.6 * std::abs(2 * phase - 1)));
        ++moves;
        // Asleep until the next move, as the event loop is between a mouse's moves.
        const qint64 next = moves * 1000 / 60;
        if (next > clock.elapsed()) {
            QEventLoop wait;
            QTimer::singleShot(int(next - clock.elapsed()), Qt::PreciseTimer, &wait, &QEventLoop::quit);
            wait.exec();
        }
    }
    const double cpu = cpuSeconds() - cpuBefore, wall = clock.nsecsElapsed() / 1e9;
    mouse(view, QEvent::MouseButtonRelease, view->xAt(end));
    key(editor, Qt::Key_Z, Qt::ControlModifier);

    std::printf("own lesson of %d sentences\n", sentences);
    std::printf("Ctrl+B → wave drawn, first time (recording summarised and kept): %.1f ms\n", first);
    std::printf("Ctrl+B → wave drawn, from the kept summary: median %.1f ms, slowest %.1f ms (%zu opens)\n",
                percentile(kept, 0.5), percentile(kept, 1.0), kept.size());
    std::printf("drag at 60 moves a second for %.1f s: %d moves, program CPU %.1f %% of a core\n", wall, moves,
                100 * cpu / wall);
    std::printf("the program at rest with the editor open: %.1f %% of a core\n", 100 * resting);
    key(editor, Qt::Key_Escape);
    form.close();
    QDir(folder).removeRecursively();
    return 0;
}
