// Page load: navigate → document-complete of the view, against a bare
// QWebEngineView loading the same 100-sentence lesson page (loadFinished),
// both in the same run, loads interleaved. Also the whole lesson-load pattern:
// complete, then three writes per sentence and a handler on two elements per
// sentence, until the writes are on the page.

#include "LessonPageFile.h"
#include "platform/web/WebEngineHtmlView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSentences = 100;
constexpr int kRounds = 20;
constexpr int kTimeoutMs = 20000;

class NoHandler : public PageEventHandler {
public:
    void My_Default_Method() override {}
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double millisecondsOf(QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The view's own share: from the browser's loadFinished to documentComplete.
std::vector<double> afterLoadFinished;

double viewLoad(WebEngineHtmlView& view, const QString& path)
{
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    QElapsedTimer timer;
    double finishedAt = 0;
    const auto connection = QObject::connect(view.page(), &QWebEnginePage::loadFinished,
                                             [&] { finishedAt = millisecondsOf(timer); });
    timer.start();
    view.navigate(path);
    if (!complete.wait(kTimeoutMs))
        qFatal("the view did not complete the page");
    const double completedAt = millisecondsOf(timer);
    QObject::disconnect(connection);
    afterLoadFinished.push_back(completedAt - finishedAt);
    return completedAt;
}

double bareLoad(QWebEngineView& bare, const QString& path)
{
    QSignalSpy finished(&bare, &QWebEngineView::loadFinished);
    QElapsedTimer timer;
    timer.start();
    bare.load(QUrl::fromLocalFile(path));
    if (!finished.wait(kTimeoutMs))
        qFatal("the bare view did not finish the page");
    return millisecondsOf(timer);
}

void markLikeALessonLoad(HtmlDocument& document)
{
    const auto handler = std::make_shared<NoHandler>();
    for (int i = 0; i < document.count(); ++i) {
        HtmlElement* element = document.item(i);
        const QString prefix = element->id().left(4);
        if (prefix == QLatin1String("engs") || prefix == QLatin1String("imgs")) {
            element->setStyleCursor(QStringLiteral("hand"));
            element->setStyleColor(QStringLiteral("009933"));
            element->setMouseDownHandler(handler);
        } else if (prefix == QLatin1String("chns")) {
            element->setStyleColor(QStringLiteral("666633"));
        }
    }
}

void waitForPage(WebEngineHtmlView& view)
{
    QEventLoop loop;
    QCoreApplication::processEvents();  // the queued writes go out first
    view.page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                               [&](const QVariant&) { loop.quit(); });
    loop.exec();
}

double lessonLoad(WebEngineHtmlView& view, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    viewLoad(view, path);
    markLikeALessonLoad(*view.document());
    waitForPage(view);
    return millisecondsOf(timer);
}

}

int main(int argc, char** argv)
{
    // Headless by default; WebEngine refuses to start as root with its sandbox.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("curLesson.htm"));
    writePageFile(path, lessonPageBytes(numberedSentences(kSentences)));

    WebEngineHtmlView view;
    QWebEngineView bare;
    for (QWidget* widget : {view.widget(), static_cast<QWidget*>(&bare)}) {
        widget->resize(800, 600);
        widget->show();
    }
    viewLoad(view, path);
    bareLoad(bare, path);

    std::vector<double> viewTimes, bareTimes, lessonTimes;
    for (int round = 0; round < kRounds; ++round) {
        bareTimes.push_back(bareLoad(bare, path));
        viewTimes.push_back(viewLoad(view, path));
        lessonTimes.push_back(lessonLoad(view, path));
    }
    const double viewMedian = median(viewTimes);
    const double bareMedian = median(bareTimes);
    std::printf("page load, %d-sentence lesson page, median of %d loads\n", kSentences, kRounds);
    std::printf("  bare QWebEngineView load -> loadFinished:      %7.2f ms (worst %.2f)\n", bareMedian,
                *std::max_element(bareTimes.begin(), bareTimes.end()));
    std::printf("  HtmlView navigate -> documentComplete:         %7.2f ms (worst %.2f)\n", viewMedian,
                *std::max_element(viewTimes.begin(), viewTimes.end()));
    std::printf("  of which loadFinished -> documentComplete:     %7.2f ms\n", median(afterLoadFinished));
    std::printf("  ratio view / bare:                             %7.2f (target <= 1.30)\n", viewMedian / bareMedian);
    std::printf("  lesson load: complete + %d writes on the page:  %7.2f ms\n", kSentences * 7,
                median(lessonTimes));
    return 0;
}
