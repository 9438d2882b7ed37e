// The spoken word's mark in the real window (WebEngine page, GStreamer player
// on a clock-synchronised fake sink): CPU time of the program process and of
// the page's renderer while one sentence of an own lesson plays, 15.65 s with
// 30 words marked one after the other, against the same sentence of a lesson
// without word times. The difference is what the marking costs: reading the
// position at each word's start and end, and the page drawing each word's mark.

#include "CourseWindow.h"

#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/web/WebEngineHtmlView.h"
#include "study/StudySession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kWords = 30;
constexpr int kRounds = 3;
const char* const kVolume = "/own/我的课本";

// One sentence of kWords words, each spoken for 0.45 s every 0.5 s, and a
// second sentence; the lesson's word times only when `timed`.
NewLesson lesson(const QString& title, bool timed)
{
    LessonSentence sentence{QString(), "", 0.35, {}};
    for (int i = 0; i < kWords; ++i) {
        if (i > 0)
            sentence.english += ' ';
        const int from = int(sentence.english.size());
        sentence.english += "reading";
        if (timed)
            sentence.words << WordTime{from, 7, 0.5 + 0.5 * i, 0.95 + 0.5 * i};
    }
    sentence.english += '.';
    return {title, {sentence, {"You're welcome.", "", 16.0, {}}}, {}, 20.9};
}

void makeVolume(const QString& folder)
{
    const QString volume = folder + kVolume;
    QDir().mkpath(volume);
    for (const bool timed : {true, false}) {
        FileTransaction transaction(volume);
        const QString recording = QString("tlx1%1.mp3").arg(lessonCount(volume) + 1, 3, 10, QChar('0'));
        QFile::copy(folder + "/books/Trellis英语第1册/tlx1001.mp3", transaction.stagePath(recording));
        if (!stageLesson(transaction, volume, lesson(timed ? "timed" : "untimed", timed)).error.isEmpty()
            || !transaction.commit())
            qFatal("the own lessons could not be written");
    }
}

// User and system CPU time of a process so far.
double cpuMs(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct Cost {
    double programMs;
    double rendererMs;
    double wallMs;
};

// Plays sentence 1 of lesson `row` from a press on its sound icon to its end.
Cost playFirstSentence(CourseWindow& w, MainForm& f, int row)
{
    ui(f).lsLesson->setCurrentRow(row);
    settleUntil([&] { return f.session().lessonName().title == (row == 0 ? "timed" : "untimed"); }, 20000);
    settle(2000);
    const qint64 renderer = w.content().page()->renderProcessPid();
    // Waited for in an event loop of its own, which sleeps between events as
    // the program's does: a polling wait would add its own CPU time.
    QEventLoop playing;
    QObject::connect(&w.player(), &MediaPlayer::endOfStream, &playing, &QEventLoop::quit);
    QTimer::singleShot(30000, &playing, [&playing] { playing.exit(1); });
    QElapsedTimer clock;
    const double program = cpuMs(QCoreApplication::applicationPid());
    const double page = cpuMs(renderer);
    clock.start();
    w.clickElement("imgs0");
    if (playing.exec() != 0)
        qFatal("the sentence did not end");
    return {cpuMs(QCoreApplication::applicationPid()) - program, cpuMs(renderer) - page, double(clock.elapsed())};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* what, const std::vector<Cost>& costs)
{
    std::vector<double> program;
    std::vector<double> renderer;
    for (const Cost& c : costs) {
        program.push_back(100.0 * c.programMs / c.wallMs);
        renderer.push_back(100.0 * c.rendererMs / c.wallMs);
    }
    std::printf("%s: program %.2f %%, renderer %.2f %% of one core (medians)\n", what, median(program),
                median(renderer));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    CourseWindow w(makeVolume, Audio::Silent, "own");
    MainForm& f = w.start();
    ui(f).wbAdv->hide();
    ui(f).cbVolume->setCurrentIndex(ui(f).cbVolume->findText("我的课本"));
    std::vector<Cost> marked;
    std::vector<Cost> unmarked;
    for (int round = 0; round < kRounds; ++round) {
        marked.push_back(playFirstSentence(w, f, 0));
        unmarked.push_back(playFirstSentence(w, f, 1));
    }
    std::printf("a 15.65 s sentence of an own lesson played in the real window, %d rounds:\n", kRounds);
    report("  with 30 words marked one after the other", marked);
    report("  without word times", unmarked);
    return 0;
}
