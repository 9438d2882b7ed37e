// A double-click on a word of the lesson page → its card shown, in the window
// as the program composes it (WebEngine pages, the dictionary from the
// program folder): the time from the second click's release to the card
// shown with the word's entry, over the words of the first lesson; and the
// program's anonymous memory before the first card and after the last.
// Then, with a word book of `book` words (the dictionary's commonest
// headwords, kept before the program starts), each lesson of the first
// volume chosen in turn: the time from the choice to the page shown with the
// word book's underlines drawn (or, with an empty book, to the page shown).
//
//   bench_word_card <program folder> [rounds] [book]

#include "bench/BenchProcess.h"
#include "dictionary/Dictionary.h"
#include "platform/web/PageEngine.h"
#include "record/StudyRecord.h"
#include "shell/Features.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "shell/words/WordCard.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QVariant inPage(QWebEngineView& view, const QString& script)
{
    QVariant result;
    bool done = false;
    view.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return result;
}

// The middles of the English words of the page's sentences, in view coordinates.
QList<QPoint> wordMiddles(QWebEngineView& view)
{
    const QVariantList points = inPage(view, R"js((function () {
        var points = [];
        document.querySelectorAll('a[id^=engs]').forEach(function (a) {
            var walker = document.createTreeWalker(a, NodeFilter.SHOW_TEXT);
            for (var n = walker.nextNode(); n; n = walker.nextNode()) {
                var re = /[A-Za-z']+/g, m;
                while ((m = re.exec(n.data))) {
                    var r = document.createRange();
                    r.setStart(n, m.index);
                    r.setEnd(n, m.index + m[0].length);
                    var b = r.getBoundingClientRect();
                    points.push([b.left + b.width / 2, b.top + b.height / 2]);
                }
            }
        });
        return points;
    })())js")
                                    .toList();
    QList<QPoint> middles;
    for (const QVariant& p : points)
        middles << QPoint(int(p.toList().value(0).toDouble()), int(p.toList().value(1).toDouble()));
    return middles;
}

// Two clicks 20 ms apart; returns when the second is released.
void doubleClick(QWidget* input, const QPoint& at)
{
    static ulong lastAt = 0;
    ulong time = std::max(ulong(QDateTime::currentMSecsSinceEpoch() & 0x7fffffff), lastAt + 1000);
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const bool down = type == QEvent::MouseButtonPress;
        QMouseEvent event(type, QPointF(at), input->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        event.setTimestamp(time += 10);
        QCoreApplication::sendEvent(input, &event);
    }
    lastAt = time;
}

// Keeps the `count` commonest headwords of the dictionary, each with its
// forms, in the study record at `file`, as the card's 加入生词本 does.
void keepCommonWords(const QString& dictionary, const QString& file, int count)
{
    QStringList words;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-words");
        db.setDatabaseName(dictionary);
        db.open();
        QSqlQuery query(db);
        query.exec(QString("SELECT word, exchange FROM entry WHERE frq > 0 AND word NOT LIKE '%% %%'"
                           " ORDER BY frq LIMIT %1").arg(count));
        StudyRecord record(file);
        qint64 at = 1000;
        while (query.next()) {
            RecordEvent kept;
            kept.kind = RecordEvent::WordSaved;
            kept.at = at++;
            kept.word = query.value(0).toString();
            kept.forms << kept.word.toLower();
            for (const QString& item : query.value(1).toString().split('/', Qt::SkipEmptyParts))
                kept.forms << item.section(':', 1).toLower();
            kept.form = kept.word;
            record.add(kept);
        }
    }
    QSqlDatabase::removeDatabase("bench-words");
}

// Underline boxes the page draws for the word book.
int underlines(QWebEngineView& view)
{
    return inPage(view, "Array.prototype.filter.call(document.documentElement.children, function (e) {"
                        " return e.style.zIndex === '2147483646'; }).reduce(function (n, e) {"
                        " return n + e.children.length; }, 0)")
        .toInt();
}

}  // namespace

int main(int argc, char* argv[])
{
    // As the program does at its start.
    setProcessMemoryRules();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_word_card <program folder> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const int book = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    const QString folder = QDir::tempPath() + "/lexbay-word-card-bench";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    if (std::system(QString("cp -r '%1/.' '%2/'").arg(argv[1], folder).toLocal8Bit().constData()) != 0)
        return 1;
    QDir::setCurrent(folder);
    Module1::sAppPath = folder;
    Platform platform = Platform::real(RunFolders::locate(folder));
    platform.settingsFile = folder + "/settings.ini";
    platform.studyRecordFile = folder + "/record/study.sqlite";
    if (book > 0)
        keepCommonWords(platform.dictionaryFile, platform.studyRecordFile, book);
    MainForm form(std::move(platform));
    plugInFeatures(form);
    form.Form_Load();
    form.show();
    form.activateWindow();
    settle(1500);
    // The welcome page lies over the lesson page until the learner starts.
    if (QWidget* welcome = form.findChild<QWidget*>("wbAdv"))
        welcome->hide();
    auto* view = form.findChild<QWebEngineView*>("wbContent");
    auto* card = form.findChild<WordCard*>("wordCard");
    if (view == nullptr || card == nullptr) {
        std::fprintf(stderr, "bench_word_card: the window has no lesson page or no word card\n");
        return 1;
    }
    const QList<QPoint> words = wordMiddles(*view);
    const long before = anonymousKilobytes();
    std::vector<double> shownMs;
    int missed = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const QPoint& word : words) {
            card->dismiss();
            settle(30);
            QElapsedTimer clock;
            doubleClick(view->focusProxy(), word);
            clock.start();
            while (!card->isVisible() && clock.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (card->isVisible())
                shownMs.push_back(clock.nsecsElapsed() / 1e6);
            else
                ++missed;
        }
    }
    const long after = anonymousKilobytes();

    // The lessons in turn, each shown with its underlines.
    auto* lessons = form.findChild<QListWidget*>("lsLesson");
    std::vector<double> lessonMs;
    int marks = 0;
    for (int round = 0; round < rounds && lessons != nullptr; ++round) {
        for (int lesson = 0; lesson < lessons->count(); ++lesson) {
            const int next = (lessons->currentRow() + 1) % lessons->count();
            QElapsedTimer clock;
            clock.start();
            // The window loads the lesson's page before the choice returns.
            lessons->setCurrentRow(next);
            bool shown = book == 0;
            while (!shown && clock.elapsed() < 5000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                const int drawn = underlines(*view);
                marks = std::max(marks, drawn);
                shown = drawn > 0;
            }
            if (shown)
                lessonMs.push_back(clock.nsecsElapsed() / 1e6);
        }
    }

    std::printf("cards: %zu shown (%d missed) over %lld words × %d rounds\n", shownMs.size(), missed,
                (long long)words.size(), rounds);
    std::printf("release → card shown: median %.1f ms, 90th percentile %.1f ms, slowest %.1f ms\n",
                percentile(shownMs, 0.5), percentile(shownMs, 0.9), percentile(shownMs, 1.0));
    std::printf("program anonymous memory: %.1f MB before the first card, %.1f MB after the last (+%.1f MB)\n",
                before / 1024.0, after / 1024.0, (after - before) / 1024.0);
    std::printf("word book of %d words: lesson chosen → shown%s: median %.1f ms, slowest %.1f ms (%zu lessons;"
                " at most %d underlines on a page)\n",
                book, book > 0 ? " with its underlines" : "", percentile(lessonMs, 0.5), percentile(lessonMs, 1.0),
                lessonMs.size(), marks);
    form.close();
    QDir(folder).removeRecursively();
    return missed == 0 ? 0 : 1;
}
