#include "ModesWindow.h"
#include "shell/Features.h"

#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"
#include "shell/window/Module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>


#include <time.h>

const char* const kTestSink = "fakesink sync=true";
const char* const kTestMicrophone = "audiotestsrc is-live=true";

namespace {

const char* const kVolumeOne = "books/Trellis英语第1册";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// Lesson 1: the three sentences of the test recording. Lesson 2: sentences
// for dictation, one with markup and double-byte characters in its text.
void writeShortCourse(const QString& folder)
{
    const QString volume = folder + "/" + kVolumeOne;
    const QStringList lessons = {
        "$Lesson 1 三句",
        "1. Good morning, everyone.",
        "大家早上好。",
        "2. This is the second sentence.",
        "这是第二句。",
        "3. Thank you very much.",
        "非常感谢。",
        "$Lesson 2 听写",
        "1. Tom is here.",
        "汤姆在这儿。",
        "2. 汤姆 &amp; Anna <b>are</b> here.",
        "汤姆和安娜在这儿。",
    };
    writeFile(volume + "/lesson.txt", encodeCourseText(lessons.join("\r\n") + "\r\n"));
    QByteArray timing;
    for (double start : ModesWindow::kSentenceStarts)
        timing += QString("[00:%1]sentence\r\n").arg(start, 5, 'f', 2, QChar('0')).toLatin1();
    writeFile(volume + "/tlx1001.lrc", timing);
    QFile::remove(volume + "/tlx1001.mp3");
    ASSERT_TRUE(QFile::copy(LEXBAY_TEST_RECORDING, volume + "/tlx1001.mp3"));
}

}  // namespace

TimedPlayer::TimedPlayer(const QElapsedTimer& clock, const QString& sinkDescription)
    : GstMediaPlayer(sinkDescription), clock_(clock)
{
    // Connected before the window's own handler, so it runs first.
    connect(this, &MediaPlayer::endOfStream, this, [this] { events.push_back(stamp(false)); });
}

void TimedPlayer::play()
{
    events.push_back(stamp(true));
    GstMediaPlayer::play();
}

TimedPlayer::Event TimedPlayer::stamp(bool isPlay) const
{
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return {clock_.elapsed(), cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6, isPlay, selectionStart(), selectionEnd()};
}

ModesWindow::ModesWindow(const std::function<void(const QString& folder)>& prepare, const QString& playerSink,
                         const QString& microphone)
{
    clock_.start();
    stageProgramFolder(dir_.path());
    writeShortCourse(dir_.path());
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
    auto player = std::make_unique<TimedPlayer>(clock_, playerSink);
    player_ = player.get();
    platform.mePlayer = std::move(player);
    platform.reviewPlayer = std::make_unique<GstMediaPlayer>(playerSink);
    auto recorder = std::make_unique<GstWaveDevice>(kTestSink, microphone);
    recorder_ = recorder.get();
    platform.mciRecorder = std::move(recorder);
    platform.mciPlayer = std::make_unique<GstWaveDevice>(kTestSink, kTestMicrophone);
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    boxes_ = boxes.get();
    platform.messageBoxes = std::move(boxes);
    platform.library = std::make_unique<CourseLibrary>(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    platform.settingsFile = dir_.path() + "/settings.ini";
    platform.studyRecordFile = dir_.path() + "/record/study.sqlite";
    form_ = std::make_unique<MainForm>(std::move(platform));
    plugInFeatures(*form_);
}

ModesWindow::~ModesWindow()
{
    form_.reset();
    // The views' pages go away later, with the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QDir::setCurrent(previousFolder_);
}

MainForm& ModesWindow::load()
{
    form_->Form_Load();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    ui(*form_).wbAdv->hide();
    waitFor([] { return false; }, 100);
    return *form_;
}

bool ModesWindow::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    return true;
}

QVariant ModesWindow::runInPage(const QString& script)
{
    QVariant result;
    bool answered = false;
    content().page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        answered = true;
    });
    waitFor([&] { return answered; }, 5000);
    return result;
}

QPoint ModesWindow::centreOf(const QString& id)
{
    const QVariantList box =
        runInPage(QString("(function(){var e=document.getElementById('%1');if(!e)return [];"
                          "var r=e.getBoundingClientRect();return [r.left+r.width/2, r.top+r.height/2];})()")
                      .arg(id))
            .toList();
    if (box.size() != 2)
        return {-1, -1};
    return {int(box.value(0).toDouble()), int(box.value(1).toDouble())};
}

void ModesWindow::pressAt(const QPoint& point)
{
    ASSERT_GE(point.x(), 0);
    QWidget* target = content().webView()->focusProxy();
    ASSERT_NE(target, nullptr);
    QTest::mousePress(target, Qt::LeftButton, {}, point);
    QTest::mouseRelease(target, Qt::LeftButton, {}, point);
}
