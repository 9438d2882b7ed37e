// A video lesson in the window: the picture of exactly the sentence pressed,
// the line over it, the pane's toggles; and a lesson whose video moved away.

#include "WindowHarness.h"

#include "course/VideoReference.h"
#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"
#include "platform/video/VideoView.h"
#include "shell/window/StatusControls.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gst/app/gstappsrc.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kWidth = 160, kHeight = 120, kStripes = 8;
const QString kVolume = "Video";

// Frame n carries n as eight stripes across it, the highest bit at the left:
// white for 1, grey for 0, so a black border around the picture stands apart.
QImage numberedFrame(int n)
{
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&frame);
    for (int bit = 0; bit < kStripes; ++bit) {
        const bool one = n & (1 << (kStripes - 1 - bit));
        painter.fillRect(bit * kWidth / kStripes, 0, kWidth / kStripes, kHeight, one ? Qt::white : Qt::darkGray);
    }
    return frame;
}

// The number a picture shows, read a third of the way down it; -1 for none.
int numberIn(const QImage& picture)
{
    const int y = picture.height() / 3;
    int left = 0, right = picture.width() - 1;
    while (left < right && qGray(picture.pixel(left, y)) < 40)
        ++left;
    while (right > left && qGray(picture.pixel(right, y)) < 40)
        --right;
    if (right - left < kStripes)
        return -1;
    int n = 0;
    for (int bit = 0; bit < kStripes; ++bit) {
        const int x = left + (2 * bit + 1) * (right - left + 1) / (2 * kStripes);
        n = 2 * n + (qGray(picture.pixel(x, y)) > 168 ? 1 : 0);
    }
    return n;
}

// An MP4 of numbered frames (H.264 by `encoder`, a key frame every 100
// frames) with a tone as its AAC sound track, as long as the frames.
void makeNumberedVideo(const QString& path, int frames,
                       const QString& encoder = "x264enc key-int-max=100 speed-preset=ultrafast")
{
    gst_init(nullptr, nullptr);
    const QString description =
        QString("appsrc name=frames format=time caps=video/x-raw,format=BGRx,width=%1,height=%2,framerate=%3/1 "
                "! videoconvert ! %6 ! h264parse ! mp4mux name=mux "
                "! filesink name=out audiotestsrc num-buffers=%4 samplesperbuffer=%5 "
                "! audio/x-raw,rate=44100,channels=1 ! avenc_aac ! aacparse ! mux.")
            .arg(kWidth)
            .arg(kHeight)
            .arg(kFramesPerSecond)
            .arg(frames)
            .arg(44100 / kFramesPerSecond)
            .arg(encoder);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    ASSERT_TRUE(pipeline) << (error ? error->message : "");
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(out, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(out);
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "frames");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    for (int n = 0; n < frames; ++n) {
        const QImage frame = numberedFrame(n);
        GstBuffer* buffer = gst_buffer_new_memdup(frame.constBits(), frame.sizeInBytes());
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(n, GST_SECOND, kFramesPerSecond);
        GST_BUFFER_DURATION(buffer) = GST_SECOND / kFramesPerSecond;
        gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(source));
    gst_object_unref(source);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND,
                                                 GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    EXPECT_TRUE(end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS);
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

// The learner's volume "Video": the first shipped lesson's text, its
// sentences timed at `starts`, and a reference to `video`.
void writeVideoVolume(const QString& folder, const QStringList& starts, const QString& video)
{
    namespace fs = std::filesystem;
    const QString volume = folder + "/own/" + kVolume;
    fs::create_directories(volume.toStdString());
    const QString shipped = folder + "/books/Trellis英语第1册/";
    fs::copy_file((shipped + "lesson.txt").toStdString(), (volume + "/lesson.txt").toStdString());
    fs::copy_file((shipped + "tlx1001.mp3").toStdString(), (volume + "/tlx1001.mp3").toStdString());
    QFile timing(volume + "/tlx1001.lrc");
    ASSERT_TRUE(timing.open(QIODevice::WriteOnly));
    for (const QString& start : starts)
        timing.write(QString("[00:%1]\r\n").arg(start).toLatin1());
    QFile reference(volume + "/tlx1001" + kVideoReferenceExtension);
    ASSERT_TRUE(reference.open(QIODevice::WriteOnly));
    reference.write(videoReferenceBytes(video, volume, folder + "/own"));
}

void chooseVolume(MainForm& form, const QString& name)
{
    const int index = ui(form).cbVolume->findText(name);
    ASSERT_GE(index, 0) << name.toStdString();
    ui(form).cbVolume->setCurrentIndex(index);
    WindowHarness::settle();
}

// A key where the learner's key goes: to the focused control, or the window.
void pressKey(MainForm& form, Qt::Key key)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &form, key);
}

struct ShownFrame {
    int number;
    double seconds;
};

TEST(VideoLesson, PressedSentencesShowTheirOwnFramesAndTheLineOverThePicture)
{
    // Sentence 1 starts 63 frames after a key frame, sentence 2 25 after one.
    const QStringList starts = {"00.35", "02.52", "05.00", "06.00", "07.00", "08.00", "09.00", "09.50"};
    const auto prepare = [&](const QString& folder) {
        QDir(folder).mkpath("clips");
        const QString video = folder + "/clips/第一课 video.mp4";
        makeNumberedVideo(video, 10 * kFramesPerSecond);
        writeVideoVolume(folder, starts, video);
    };
    auto frames = std::make_shared<VideoFrames>();
    QMutex logLock;
    std::vector<ShownFrame> shown;
    QObject::connect(
        frames.get(), &VideoFrames::shown, frames.get(),
        [&](const QImage& frame, double seconds) {
            QMutexLocker lock(&logLock);
            shown.push_back({numberIn(frame), seconds});
        },
        Qt::DirectConnection);
    WindowHarness h(prepare, "own", [&](Platform& platform) {
        auto player = std::make_unique<GstMediaPlayer>("fakesink sync=true");
        player->setPictureOutput(frames);
        platform.mePlayer = std::move(player);
        platform.videoFrames = frames;
    });
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto* view = f.findChild<VideoView*>("vwVideo");
    ASSERT_NE(view, nullptr);
    chooseVolume(f, "Trellis英语第1册");
    EXPECT_TRUE(view->isHidden()) << "the shipped course has no picture";
    chooseVolume(f, kVolume);
    EXPECT_FALSE(view->isHidden());

    const struct {
        int sentence;
        int firstFrame, lastFrame;
        QString line;
    } presses[] = {
        {1, 63, 124, "Go straight on and turn left at the bank."},
        {2, 125, 149, "Is it far from here?"},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.sentence);
        {
            QMutexLocker lock(&logLock);
            shown.clear();
        }
        QSignalSpy ended(&f.playback(), &SentencePlayback::rangeEnded);
        ASSERT_TRUE(h.press(QString("imgs%1").arg(press.sentence)));
        ASSERT_TRUE(ended.wait(10000));
        h.settle(100);
        {
            QMutexLocker lock(&logLock);
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front().number, press.firstFrame);
            EXPECT_NEAR(shown.front().seconds, starts[press.sentence].toDouble(), 0.001);
            EXPECT_EQ(shown.back().number, press.lastFrame);
        }
        // The picture holds the range's last frame, the sentence's line over it.
        EXPECT_EQ(numberIn(view->grab().toImage()), press.lastFrame);
        EXPECT_EQ(view->caption(), press.line);
    }

    pressKey(f, Qt::Key_F12);
    EXPECT_EQ(view->caption(), "");
    pressKey(f, Qt::Key_F12);
    EXPECT_EQ(view->caption(), presses[1].line);
    f.btSpell_click();
    ASSERT_EQ(f.session().status(), StatusSpell);
    EXPECT_EQ(view->caption(), "") << "no line over the picture while dictating";
    f.btSpell_click();
    EXPECT_EQ(view->caption(), presses[1].line);
    pressKey(f, Qt::Key_F11);
    EXPECT_TRUE(view->isHidden());
    pressKey(f, Qt::Key_F11);
    EXPECT_FALSE(view->isHidden());
}

TEST(VideoLesson, MovedVideoPlaysTheSoundAndSaysSoOnce)
{
    QString video;
    WindowHarness h(
        [&](const QString& folder) {
            video = folder + "/clips/moved.mp4";
            writeVideoVolume(folder, {"00.35", "02.00"}, video);
        },
        "own");
    MainForm& f = h.load();
    chooseVolume(f, kVolume);
    EXPECT_TRUE(h.player().fileName().endsWith("/own/Video/tlx1001.mp3")) << h.player().fileName().toStdString();
    EXPECT_TRUE(f.findChild<VideoView*>("vwVideo")->isHidden());
    const QString notice = ui(f).pnNotice->text();
    EXPECT_TRUE(notice.contains(video)) << notice.toStdString();
    EXPECT_TRUE(h.boxes().shown.isEmpty());
    // Sentences play with no second notice.
    ui(f).pnNotice->clear();
    ASSERT_TRUE(h.press("imgs1"));
    h.settle();
    EXPECT_TRUE(h.player().log.contains("play"));
    EXPECT_EQ(ui(f).pnNotice->text(), "");
}

// A video with B frames, as most encoders write them: the sentence chosen by
// the arrow key is sought while nothing plays, the picture on show staying
// as it is; a press then plays it, and a press on another sentence's icon
// plays that one, each from its own first frame to its own last.
TEST(VideoLesson, PreparedAndOtherSentencesShowTheirOwnFrames)
{
    const QStringList starts = {"00.35", "02.52", "05.00", "06.00", "07.00", "08.00", "09.00", "09.50"};
    const auto prepare = [&](const QString& folder) {
        QDir(folder).mkpath("clips");
        const QString video = folder + "/clips/b-frames.mp4";
        makeNumberedVideo(video, 10 * kFramesPerSecond,
                          "x264enc key-int-max=100 speed-preset=ultrafast bframes=3 b-pyramid=true");
        writeVideoVolume(folder, starts, video);
    };
    auto frames = std::make_shared<VideoFrames>();
    QMutex logLock;
    std::vector<int> shown;
    QObject::connect(
        frames.get(), &VideoFrames::shown, frames.get(),
        [&](const QImage& frame, double) {
            QMutexLocker lock(&logLock);
            shown.push_back(numberIn(frame));
        },
        Qt::DirectConnection);
    WindowHarness h(prepare, "own", [&](Platform& platform) {
        auto player = std::make_unique<GstMediaPlayer>("fakesink sync=true");
        player->setPictureOutput(frames);
        platform.mePlayer = std::move(player);
        platform.videoFrames = frames;
    });
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    chooseVolume(f, kVolume);
    auto* view = f.findChild<VideoView*>("vwVideo");
    const auto played = [&](const std::function<void()>& press) {
        {
            QMutexLocker lock(&logLock);
            shown.clear();
        }
        QSignalSpy ended(&f.playback(), &SentencePlayback::rangeEnded);
        press();
        EXPECT_TRUE(ended.wait(10000));
        h.settle(100);
        QMutexLocker lock(&logLock);
        return shown;
    };
    // Sentence 1 has been played once, so the output runs.
    played([&] { ASSERT_TRUE(h.press("imgs1")); });
    ASSERT_EQ(f.session().currentSentence(), 1);

    pressKey(f, Qt::Key_Down);
    ASSERT_EQ(f.session().currentSentence(), 2);
    {
        QMutexLocker lock(&logLock);
        shown.clear();
    }
    h.settle(500);
    {
        QMutexLocker lock(&logLock);
        EXPECT_TRUE(shown.empty()) << "the picture stays while the next sentence is made ready";
    }
    EXPECT_EQ(numberIn(view->grab().toImage()), 124);

    const struct {
        const char* how;
        std::function<void()> press;
        int firstFrame, lastFrame;
    } presses[] = {
        {"Space on the prepared sentence 2", [&] { pressKey(f, Qt::Key_Space); }, 125, 149},
        {"icon of sentence 1, 63 frames after a key frame", [&] { ASSERT_TRUE(h.press("imgs1")); }, 63, 124},
        {"icon of sentence 3, 50 frames after a key frame", [&] { ASSERT_TRUE(h.press("imgs3")); }, 150, 174},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.how);
        const std::vector<int> frameNumbers = played(press.press);
        ASSERT_FALSE(frameNumbers.empty());
        EXPECT_EQ(frameNumbers.front(), press.firstFrame);
        EXPECT_EQ(frameNumbers.back(), press.lastFrame);
        EXPECT_EQ(numberIn(view->grab().toImage()), press.lastFrame);
    }
}

}  // namespace
