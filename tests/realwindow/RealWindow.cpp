#include "RealWindow.h"

#include "shell/Module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

constexpr int kPageLimitMs = 20000;
const char* const kSilentSink = "fakesink sync=true";
const char* const kTestMicrophone = "audiotestsrc is-live=true";

}  // namespace

RealWindow::RealWindow(const std::function<void(const QString& folder)>& prepare)
{
    stageProgramFolder(dir_.path());
    if (prepare)
        prepare(dir_.path());
    previousFolder_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    Module1::sAppPath = dir_.path();

    Platform platform;
    platform.makeHtmlView = [this] {
        auto view = std::make_unique<WebEngineHtmlView>();
        views_.push_back(view.get());
        return view;
    };
    auto player = std::make_unique<GstMediaPlayer>(kSilentSink);
    player_ = player.get();
    platform.mePlayer = std::move(player);
    platform.mciRecorder = std::make_unique<GstWaveDevice>(kSilentSink, kTestMicrophone);
    platform.mciPlayer = std::make_unique<GstWaveDevice>(kSilentSink, kTestMicrophone);
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    boxes_ = boxes.get();
    platform.messageBoxes = std::move(boxes);
    platform.library = std::make_unique<CourseLibrary>(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    platform.settingsFile = settingsFile();
    form_ = std::make_unique<MainForm>(std::move(platform));
}

RealWindow::~RealWindow()
{
    form_.reset();
    QDir::setCurrent(previousFolder_);
}

MainForm& RealWindow::load()
{
    form_->Form_Load();
    form_->show();
    // Form_Load waits for the lesson page; the welcome page comes later.
    if (!welcome().document())
        QSignalSpy(&welcome(), &HtmlView::documentComplete).wait(kPageLimitMs);
    return *form_;
}

QVariant RealWindow::runInPage(WebEngineHtmlView& view, const QString& script)
{
    QCoreApplication::processEvents();
    QVariant result;
    QEventLoop loop;
    QTimer::singleShot(kPageLimitMs, &loop, &QEventLoop::quit);
    view.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

QString RealWindow::liveColour(const QString& id)
{
    return runInPage(content(), QString("getComputedStyle(document.getElementById('%1')).color").arg(id)).toString();
}

void RealWindow::clickElement(const QString& id)
{
    const QVariantList box =
        runInPage(content(), QString("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                                     "return [r.left+r.width/2, r.top+r.height/2];})()")
                                 .arg(id))
            .toList();
    const QPoint centre(int(box.value(0).toDouble()), int(box.value(1).toDouble()));
    QWidget* input = content().webView()->focusProxy();
    QTest::mousePress(input, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(input, Qt::LeftButton, {}, centre);
}
