// A video lesson in the window: the picture of exactly the sentence pressed,
// the line over it, the pane's toggles, the line kept off while dictating;
// a lesson whose video moved away, and one whose video does not play.

#include "NumberedVideo.h"
#include "WindowHarness.h"
#include "shell/words/WordCard.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"
#include "shell/widgets/VideoView.h"
#include "shell/window/StatusViews.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

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

// The frames a player hands over, by number and time, logged on the
// streaming thread as they are shown.
class ShownFrames {
public:
    explicit ShownFrames(VideoFrames& frames)
    {
        QObject::connect(
            &frames, &VideoFrames::shown, &frames,
            [this](const QImage& frame, double seconds) {
                QMutexLocker lock(&lock_);
                shown_.push_back({numberIn(frame), seconds});
            },
            Qt::DirectConnection);
    }
    void clear()
    {
        QMutexLocker lock(&lock_);
        shown_.clear();
    }
    std::vector<ShownFrame> taken() const
    {
        QMutexLocker lock(&lock_);
        return shown_;
    }

private:
    mutable QMutex lock_;
    std::vector<ShownFrame> shown_;
};

// The harness's platform with the real lesson player, its frames going to `frames`.
std::function<void(Platform&)> realLessonPlayer(const std::shared_ptr<VideoFrames>& frames)
{
    return [frames](Platform& platform) {
        auto player = std::make_unique<GstMediaPlayer>("fakesink sync=true signal-handoffs=true");
        player->setPictureOutput(frames);
        platform.mePlayer = std::move(player);
        platform.videoFrames = frames;
    };
}

// A window on the learner's video volume, its lesson's sentences timed at
// `starts` and its video a numbered one written by `encoder` as
// clips/`fileName`, played by the real lesson player whose frames `shown`
// logs; on screen and active, the shipped course chosen at start.
struct VideoLessonWindow {
    VideoLessonWindow(const QString& fileName, const QStringList& starts,
                      const QString& encoder = "x264enc key-int-max=100 speed-preset=ultrafast")
        : frames(std::make_shared<VideoFrames>()),
          shown(*frames),
          harness(
              [=](const QString& folder) {
                  QDir(folder).mkpath("clips");
                  const QString video = folder + "/clips/" + fileName;
                  makeNumberedVideo(video, 10 * kFramesPerSecond, encoder);
                  writeVideoVolume(folder, starts, video);
              },
              "own", realLessonPlayer(frames)),
          form(harness.load())
    {
        form.show();
        form.activateWindow();
    }

    std::shared_ptr<VideoFrames> frames;
    ShownFrames shown;
    WindowHarness harness;
    MainForm& form;
};

TEST(VideoLesson, PressedSentencesShowTheirOwnFramesAndTheLineOverThePicture)
{
    // Sentence 1 starts 63 frames after a key frame, sentence 2 25 after one.
    const QStringList starts = {"00.35", "02.52", "05.00", "06.00", "07.00", "08.00", "09.00", "09.50"};
    VideoLessonWindow window("第一课 video.mp4", starts);
    WindowHarness& h = window.harness;
    MainForm& f = window.form;
    ShownFrames& shown = window.shown;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto* view = f.findChild<VideoView*>("vwVideo");
    ASSERT_NE(view, nullptr);
    chooseVolume(f, "Trellis英语第1册");
    EXPECT_TRUE(view->isHidden()) << "the shipped course has no picture";
    chooseVolume(f, kVideoVolume);
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
        shown.clear();
        QSignalSpy ended(&f.playback(), &SentencePlayback::rangeEnded);
        ASSERT_TRUE(h.press(QString("imgs%1").arg(press.sentence)));
        ASSERT_TRUE(ended.wait(10000));
        h.settle(100);
        const std::vector<ShownFrame> played = shown.taken();
        ASSERT_FALSE(played.empty());
        EXPECT_EQ(played.front().number, press.firstFrame);
        EXPECT_NEAR(played.front().seconds, starts[press.sentence].toDouble(), 0.001);
        EXPECT_EQ(played.back().number, press.lastFrame);
        // The picture holds the range's last frame, the sentence's line over it.
        EXPECT_EQ(numberIn(view->grab().toImage()), press.lastFrame);
        EXPECT_EQ(view->caption(), press.line);
    }

    pressKey(f, Qt::Key_F12);
    EXPECT_EQ(view->caption(), "");
    const QImage bare = view->grab().toImage();
    pressKey(f, Qt::Key_F12);
    EXPECT_EQ(view->caption(), presses[1].line);

    // A double-click on the line's first word, found by its white letters
    // where the picture differs from the one without the line, shows that
    // word's card in its sentence.
    const QImage painted = view->grab().toImage();
    ASSERT_EQ(painted.size(), bare.size());
    QPoint firstLetter(-1, -1);
    for (int x = 0; x < painted.width() && firstLetter.x() < 0; ++x) {
        for (int y = 0; y < painted.height(); ++y) {
            const QColor c = painted.pixelColor(x, y);
            if (c != bare.pixelColor(x, y) && c.red() > 240 && c.green() > 240 && c.blue() > 240) {
                firstLetter = {x + 2, y};
                break;
            }
        }
    }
    ASSERT_GE(firstLetter.x(), 0) << "no letters over the picture";
    QTest::mouseDClick(view, Qt::LeftButton, {}, firstLetter);
    auto* card = f.findChild<WordCard*>("wordCard");
    ASSERT_TRUE(card->isVisible());
    EXPECT_TRUE(card->plainText().endsWith(presses[1].line)) << card->plainText().toStdString();
    EXPECT_TRUE(card->plainText().startsWith("is") || card->plainText().startsWith("be"))
        << card->plainText().toStdString();
    pressKey(f, Qt::Key_Escape);
    EXPECT_FALSE(card->isVisible());

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
    chooseVolume(f, kVideoVolume);
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

// Whether any part of a picture is near white, as the line over it is.
bool hasLightPixels(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) > 200)
                return true;
        }
    }
    return false;
}

TEST(VideoLesson, TheLineOverThePictureStaysOffWhileDictatingFromSentenceToSentence)
{
    WindowHarness h(
        [&](const QString& folder) {
            QDir(folder).mkpath("clips");
            const QString video = folder + "/clips/plain.mp4";
            QFile(video).open(QIODevice::WriteOnly);
            writeVideoVolume(folder, {"00.35", "02.00", "04.00", "06.00", "08.00", "09.00", "09.50"}, video);
        },
        "own");
    MainForm& f = h.load();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    chooseVolume(f, kVideoVolume);
    auto* view = f.findChild<VideoView*>("vwVideo");
    ASSERT_FALSE(view->isHidden());
    const QString firstLine = view->caption();
    ASSERT_FALSE(firstLine.isEmpty());
    EXPECT_TRUE(hasLightPixels(view->grab().toImage())) << "the line is painted over the picture";

    f.Toolbar1_ButtonClick("btSpell");
    ASSERT_EQ(f.session().status(), StatusSpell);
    ASSERT_EQ(f.session().currentSentence(), 0);
    // The picture stays in sight above the dictation panel.
    auto* panel = f.findChild<QWidget*>("piSpell");
    ASSERT_TRUE(view->isVisible() && panel->isVisible());
    const QRect picture(view->mapTo(&f, QPoint()), view->size());
    EXPECT_GT(picture.height(), 50);
    EXPECT_FALSE(picture.intersects(QRect(panel->mapTo(&f, QPoint()), panel->size())));
    // Right: dictation goes on to the next sentence, its line still off.
    ui(f).teSpell->setText(firstLine);
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
    ASSERT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(view->caption(), "");
    EXPECT_FALSE(hasLightPixels(view->grab().toImage())) << "nothing painted over the picture while dictating";

    f.Toolbar1_ButtonClick("btSpell");
    ASSERT_NE(f.session().status(), StatusSpell);
    EXPECT_FALSE(view->caption().isEmpty());
}

// The bytes a video that cannot be played holds, written at `path`.
struct UnplayableVideo {
    const char* name;
    std::function<void(const QString& path)> write;
};

TEST(VideoLesson, AVideoThatDoesNotPlayLeavesTheSoundAndSaysWhyOnce)
{
    const UnplayableVideo videos[] = {
        {"not media",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(4096, 'x'));
         }},
        {"truncated",
         [](const QString& path) {
             makeNumberedVideo(path, 10 * kFramesPerSecond);
             QFile file(path);
             ASSERT_TRUE(file.resize(file.size() * 2 / 5));
         }},
    };
    for (const UnplayableVideo& unplayable : videos) {
        SCOPED_TRACE(unplayable.name);
        QString video;
        auto frames = std::make_shared<VideoFrames>();
        WindowHarness h(
            [&](const QString& folder) {
                QDir(folder).mkpath("clips");
                video = folder + "/clips/broken.mp4";
                unplayable.write(video);
                writeVideoVolume(folder, {"00.35", "01.00", "02.00"}, video);
            },
            "own", realLessonPlayer(frames));
        MainForm& f = h.load();
        chooseVolume(f, kVideoVolume);
        h.settle(100);
        EXPECT_FALSE(f.playback().playsVideo());
        EXPECT_TRUE(f.playback().recordingFile().endsWith("/own/Video/tlx1001.mp3"));
        EXPECT_TRUE(f.findChild<VideoView*>("vwVideo")->isHidden());
        const QString notice = ui(f).pnNotice->text();
        EXPECT_TRUE(notice.startsWith("无法播放视频“" + video + "”：")) << notice.toStdString();
        EXPECT_TRUE(h.boxes().shown.isEmpty()) << h.boxes().shown.join(" / ").toStdString();

        // The sentence plays to its end from the recording, with nothing more said.
        ui(f).pnNotice->clear();
        QSignalSpy ended(&f.playback(), &SentencePlayback::rangeEnded);
        ASSERT_TRUE(h.press("imgs1"));
        EXPECT_TRUE(ended.wait(10000));
        EXPECT_NEAR(f.playback().position(), 2.0, 0.1);
        h.settle(100);
        EXPECT_EQ(ui(f).pnNotice->text(), "");
        EXPECT_EQ(frames->framesShown(), 0u);

        // However the file's reading races the pipeline's start, the reason
        // is the file's own, never a wait that ran out.
        GstMediaPlayer player("fakesink sync=true");
        player.setPictureOutput(std::make_shared<VideoFrames>());
        for (int open = 1; open <= 8; ++open) {
            SCOPED_TRACE(open);
            player.setVideoFileName(video);
            EXPECT_EQ(player.duration(), 0.0);
            EXPECT_TRUE(player.lastError().startsWith("无法播放视频“" + video + "”：")) << player.lastError().toStdString();
            EXPECT_FALSE(player.lastError().contains("未能打开")) << player.lastError().toStdString();
        }
    }
}

// A video with B frames, as most encoders write them: the sentence chosen by
// the arrow key is sought while nothing plays, the picture on show staying
// as it is; a press then plays it, and a press on another sentence's icon
// plays that one, each from its own first frame to its own last.
TEST(VideoLesson, PreparedAndOtherSentencesShowTheirOwnFrames)
{
    VideoLessonWindow window("b-frames.mp4", {"00.35", "02.52", "05.00", "06.00", "07.00", "08.00", "09.00", "09.50"},
                             "x264enc key-int-max=100 speed-preset=ultrafast bframes=3 b-pyramid=true");
    WindowHarness& h = window.harness;
    MainForm& f = window.form;
    ShownFrames& shown = window.shown;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    chooseVolume(f, kVideoVolume);
    auto* view = f.findChild<VideoView*>("vwVideo");
    const auto played = [&](const std::function<void()>& press) {
        shown.clear();
        QSignalSpy ended(&f.playback(), &SentencePlayback::rangeEnded);
        press();
        EXPECT_TRUE(ended.wait(10000));
        h.settle(100);
        return shown.taken();
    };
    // Sentence 1 has been played once, so the output runs.
    played([&] { ASSERT_TRUE(h.press("imgs1")); });
    ASSERT_EQ(f.session().currentSentence(), 1);

    pressKey(f, Qt::Key_Down);
    ASSERT_EQ(f.session().currentSentence(), 2);
    shown.clear();
    h.settle(500);
    EXPECT_TRUE(shown.taken().empty()) << "the picture stays while the next sentence is made ready";
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
        const std::vector<ShownFrame> frameList = played(press.press);
        ASSERT_FALSE(frameList.empty());
        EXPECT_EQ(frameList.front().number, press.firstFrame);
        EXPECT_EQ(frameList.back().number, press.lastFrame);
        EXPECT_EQ(numberIn(view->grab().toImage()), press.lastFrame);
    }
}

// Sound handed to the lesson player's output: when each buffer came, and
// where in the recording it lies.
class HandedSound {
public:
    HandedSound()
    {
        hook_ = g_signal_add_emission_hook(g_signal_lookup("handoff", g_type_from_name("GstFakeSink")), 0, &onHandoff,
                                           this, nullptr);
    }
    ~HandedSound() { g_signal_remove_emission_hook(g_signal_lookup("handoff", g_type_from_name("GstFakeSink")), hook_); }

    struct Buffer {
        qint64 atMs;
        double seconds;
    };
    std::vector<Buffer> taken() const
    {
        QMutexLocker lock(&lock_);
        return buffers_;
    }

private:
    static gboolean onHandoff(GSignalInvocationHint*, guint, const GValue* values, gpointer self)
    {
        auto* sound = static_cast<HandedSound*>(self);
        auto* buffer = static_cast<GstBuffer*>(g_value_get_boxed(&values[1]));
        if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
            QMutexLocker lock(&sound->lock_);
            sound->buffers_.push_back({sound->clock_.elapsed(), GST_BUFFER_PTS(buffer) / 1e9});
        }
        return TRUE;
    }

    gulong hook_ = 0;
    QElapsedTimer clock_ = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    mutable QMutex lock_;
    std::vector<Buffer> buffers_;
};

// Auto-browse in a video lesson keeps the pause the learner chose between
// two sentences: the next sentence, made ready as one ends, sounds only when
// the pause is over.
TEST(VideoLesson, AutoBrowseKeepsTheChosenPauseBetweenSentences)
{
    VideoLessonWindow window("pause.mp4", {"00.35", "02.52", "05.00", "06.00", "07.00", "08.00", "09.00", "09.50"});
    MainForm& f = window.form;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    chooseVolume(f, kVideoVolume);
    ui(f).cbRepeatTimes->setCurrentIndex(0);
    ui(f).cbBrowseGap->setCurrentIndex(1);  // 1 秒
    HandedSound sound;
    QSignalSpy started(&f.playback(), &SentencePlayback::sentenceStarted);
    f.Toolbar1_ButtonClick("btBrowse");
    ASSERT_EQ(f.session().status(), StatusBrowse);
    while (started.count() < 2 && started.wait(10000)) {
    }
    ASSERT_EQ(started.count(), 2);
    WindowHarness::settle(300);
    f.Toolbar1_ButtonClick("btBrowse");
    const double secondStart = 2.52;
    const std::vector<HandedSound::Buffer> buffers = sound.taken();
    const auto firstOfSecond = std::find_if(buffers.begin(), buffers.end(),
                                            [&](const auto& b) { return b.seconds >= secondStart - 0.001; });
    ASSERT_NE(firstOfSecond, buffers.end());
    ASSERT_NE(firstOfSecond, buffers.begin());
    const qint64 pauseMs = firstOfSecond->atMs - std::prev(firstOfSecond)->atMs;
    EXPECT_GE(pauseMs, 950) << "sentence 2 sounded " << pauseMs << " ms after sentence 1 ended";
    EXPECT_LE(pauseMs, 1500);
}

}  // namespace
