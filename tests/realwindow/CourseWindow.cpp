#include "CourseWindow.h"

#include "dictionary/Dictionary.h"
#include "shell/Features.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"
#include "platform/web/WebEngineHtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "shell/window/Module1.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMouseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <ostream>


namespace {

constexpr int kScriptLimitMs = 10000;

const QString kSilentSink = QStringLiteral("fakesink sync=true");
const QString kTestTone = QStringLiteral("audiotestsrc is-live=true");
// ALSA devices that no machine has.
const QString kMissingSink = QStringLiteral("alsasink device=hw:99,0");
const QString kMissingSource = QStringLiteral("alsasrc device=hw:99,0");

void addAudio(Platform& platform, Audio audio)
{
    const bool missing = audio == Audio::Unavailable;
    platform.mePlayer = std::make_unique<GstMediaPlayer>(missing ? kMissingSink : kSilentSink);
    if (audio == Audio::StandInDevices) {
        platform.mciRecorder = std::make_unique<FakeWaveDevice>();
        platform.mciPlayer = std::make_unique<FakeWaveDevice>();
        return;
    }
    platform.mciRecorder =
        std::make_unique<GstWaveDevice>(missing ? kMissingSink : kSilentSink, missing ? kMissingSource : kTestTone);
    platform.mciPlayer =
        std::make_unique<GstWaveDevice>(missing ? kMissingSink : kSilentSink, missing ? kMissingSource : kTestTone);
}

}  // namespace

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

void settle(int milliseconds)
{
    settleUntil([] { return false; }, milliseconds);
}

bool settleUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, int(qMin<qint64>(left, 10)));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

CourseWindow::CourseWindow(const Prepare& prepare, Audio audio, const QString& ownBooks)
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
    addAudio(platform, audio);
    player_ = platform.mePlayer.get();
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    boxes_ = boxes.get();
    platform.messageBoxes = std::move(boxes);
    platform.library = std::make_unique<CourseLibrary>(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    platform.settingsFile = settingsFile();
    platform.studyRecordFile = folder() + "/record/study.sqlite";
    platform.dictionaryFile = dictionaryFile(LEXBAY_APP_DIR);
    if (!ownBooks.isEmpty())
        platform.ownBooks = folder() + "/" + ownBooks;
    form_ = std::make_unique<MainForm>(std::move(platform));
    plugInFeatures(*form_);
}

CourseWindow::~CourseWindow()
{
    form_.reset();
    // The views' pages go away on later turns of the event loop.
    settle(20);
    QDir::setCurrent(previousFolder_);
    // A test may have made the folder read-only; it is removed all the same.
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFile::WriteOwner);
}

MainForm& CourseWindow::start()
{
    form_->Form_Load();
    form_->show();
    settle(20);
    return *form_;
}

void CourseWindow::close()
{
    form_->close();
    settle(20);
}


QVariant CourseWindow::runInPage(const QString& script)
{
    QCoreApplication::processEvents();
    QVariant result;
    QEventLoop loop;
    QTimer::singleShot(kScriptLimitMs, &loop, &QEventLoop::quit);
    content().page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

QString CourseWindow::liveColour(const QString& id)
{
    return runInPage(QString("getComputedStyle(document.getElementById('%1')).color").arg(id)).toString();
}

namespace {

// The middle of characters [from, from + length) of a page element's text,
// in the view's coordinates.
QPoint textCentre(CourseWindow& w, const QString& id, int from, int length)
{
    const QVariantList box =
        w.runInPage(QString("(function(){var n=document.createTreeWalker(document.getElementById('%1'),"
                            "NodeFilter.SHOW_TEXT).nextNode();var r=document.createRange();"
                            "r.setStart(n,%2);r.setEnd(n,%3);var b=r.getBoundingClientRect();"
                            "return [b.left+b.width/2, b.top+b.height/2];})()")
                        .arg(id)
                        .arg(from)
                        .arg(from + length))
            .toList();
    return {int(box.value(0).toDouble()), int(box.value(1).toDouble())};
}

}  // namespace

void CourseWindow::restPointerOnText(const QString& id, int from, int length)
{
    const QPoint centre = textCentre(*this, id, from, length);
    QWidget* input = content().webView()->focusProxy();
    for (const QPoint& at : {centre - QPoint(3, 0), centre}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), input->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(input, &move);
    }
}

void CourseWindow::doubleClickText(const QString& id, int from, int length)
{
    const QPoint centre = textCentre(*this, id, from, length);
    // Two clicks 20 ms apart, as a hand makes them: the page counts clicks
    // by the events' times, which QTest keeps apart.
    QWidget* input = content().webView()->focusProxy();
    const QPointF global = input->mapToGlobal(QPointF(centre));
    // A second apart from the clicks before, so none is counted with them.
    static ulong lastAt = 0;
    ulong at = std::max(ulong(QDateTime::currentMSecsSinceEpoch() & 0x7fffffff), lastAt + 1000);
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, QPointF(centre), global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        event.setTimestamp(at += 10);
        QCoreApplication::sendEvent(input, &event);
    }
    lastAt = at;
}

void CourseWindow::clickElement(const QString& id, Qt::MouseButton button)
{
    const QVariantList box = runInPage(QString("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                                               "return [r.left+r.width/2, r.top+r.height/2];})()")
                                           .arg(id))
                                 .toList();
    const QPoint centre(int(box.value(0).toDouble()), int(box.value(1).toDouble()));
    QWidget* input = content().webView()->focusProxy();
    QTest::mousePress(input, button, {}, centre);
    QTest::mouseRelease(input, button, {}, centre);
}
