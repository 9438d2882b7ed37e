// The lesson player's picture of a large video: frames scaled down on the way
// to the size of the pane on show are still exactly the range's own, keep the
// video's proportions, and a small video is never blown up.

#include "NumberedVideo.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"
#include "shell/widgets/VideoView.h"

#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Shown {
    int number;
    QSize size;
};

// Every frame the player hands over: its number and size.
std::vector<Shown> playRange(GstMediaPlayer& player, VideoFrames& frames, double start, double end)
{
    QMutex lock;
    std::vector<Shown> shown;
    const QMetaObject::Connection logged = QObject::connect(
        &frames, &VideoFrames::shown, &frames,
        [&](const QImage& frame, double) {
            QMutexLocker locked(&lock);
            shown.push_back({numberIn(frame), frame.size()});
        },
        Qt::DirectConnection);
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    player.stop();
    player.setSelectionStart(start);
    player.setSelectionEnd(end);
    player.setCurrentPosition(start);
    player.play();
    EXPECT_TRUE(ended.wait(10000));
    QObject::disconnect(logged);
    QMutexLocker locked(&lock);
    return shown;
}

}  // namespace

TEST(VideoPress, FramesAreScaledToThePaneAndStayTheRangesOwn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QSize noPane;
    const char* const to1080p = "videoscale ! video/x-raw,width=1920,height=1080,pixel-aspect-ratio=1/1 ! ";
    const struct {
        const char* name;
        // Scales the numbered frames up before they are encoded; empty keeps them.
        const char* enlarge;
        // The pane on show while each of the two ranges plays; empty for none.
        QSize pane[2];
        QSize expected[2];
    } videos[] = {
        {"1080p", to1080p, {noPane, noPane}, {QSize(1280, 720), QSize(1280, 720)}},
        {"720p", "videoscale ! video/x-raw,width=1280,height=720,pixel-aspect-ratio=1/1 ! ", {noPane, noPane},
         {QSize(1280, 720), QSize(1280, 720)}},
        {"small", "", {noPane, noPane}, {QSize(160, 120), QSize(160, 120)}},
        {"1080p in a pane, then hidden", to1080p, {QSize(480, 270), noPane}, {QSize(480, 270), QSize(1280, 720)}},
        {"1080p in a tall pane, then a large one", to1080p, {QSize(400, 500), QSize(1600, 900)},
         {QSize(400, 225), QSize(1280, 720)}},
        {"4:3 in a wide pane, then a larger one", "videoscale ! video/x-raw,width=1440,height=1080,pixel-aspect-ratio=1/1 ! ",
         {QSize(640, 360), QSize(1000, 800)}, {QSize(480, 360), QSize(960, 720)}},
        {"small in a large pane", "", {QSize(640, 480), QSize(640, 480)}, {QSize(160, 120), QSize(160, 120)}},
    };
    for (const auto& video : videos) {
        SCOPED_TRACE(video.name);
        const QString path = folder.filePath(QString(video.name).replace(' ', '-') + ".mp4");
        makeNumberedVideo(path, 6 * kFramesPerSecond,
                          QString(video.enlarge) + "x264enc key-int-max=100 speed-preset=ultrafast bframes=2");
        auto frames = std::make_shared<VideoFrames>();
        VideoView pane(frames);
        GstMediaPlayer player("fakesink sync=true");
        player.setPictureOutput(frames);
        player.setVideoFileName(path);
        ASSERT_GT(player.duration(), 0) << player.lastError().toStdString();
        // Frames 43..54, then 112..119: each range's first frame is its own,
        // however far it lies after the key frame.
        const std::pair<int, int> ranges[] = {{43, 54}, {112, 119}};
        for (int r = 0; r < 2; ++r) {
            const auto [first, last] = ranges[r];
            pane.resize(video.pane[r].isEmpty() ? QSize(320, 180) : video.pane[r]);
            pane.setVisible(!video.pane[r].isEmpty());
            const std::vector<Shown> shown =
                playRange(player, *frames, double(first) / kFramesPerSecond, double(last + 1) / kFramesPerSecond);
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front().number, first);
            EXPECT_EQ(shown.back().number, last);
            for (const Shown& frame : shown)
                EXPECT_EQ(frame.size, video.expected[r]);
        }
    }
}

// The size the frames are made for: that of the views on show (the lesson's
// pane, the review's picture), the largest each way; a hidden or closed view
// asks for nothing.
TEST(VideoPress, FramesAreMadeForTheViewsOnShow)
{
    enum class State { Shown, Hidden, Gone };
    const struct {
        const char* name;
        State first, second;
        QSize expected;
    } cases[] = {
        {"both shown", State::Shown, State::Shown, QSize(400, 400)},
        {"second hidden", State::Shown, State::Hidden, QSize(400, 300)},
        {"first closed", State::Gone, State::Shown, QSize(300, 400)},
        {"none on show", State::Hidden, State::Gone, QSize()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto frames = std::make_shared<VideoFrames>();
        auto first = std::make_unique<VideoView>(frames);
        auto second = std::make_unique<VideoView>(frames);
        first->resize(400, 300);
        second->resize(300, 400);
        first->show();
        second->show();
        EXPECT_EQ(frames->viewSize(), QSize(400, 400));
        for (auto [view, state] : {std::pair{&first, c.first}, std::pair{&second, c.second}}) {
            if (state == State::Hidden)
                (*view)->hide();
            else if (state == State::Gone)
                view->reset();
        }
        EXPECT_EQ(frames->viewSize(), c.expected);
    }
}

// A pane resized while a range plays: the frames take its new size from the
// next one on, and none is lost or repeated on the way.
TEST(VideoPress, APaneResizedWhilePlayingGetsFramesOfItsNewSize)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("1080p.mp4");
    makeNumberedVideo(path, 4 * kFramesPerSecond,
                      "videoscale ! video/x-raw,width=1920,height=1080,pixel-aspect-ratio=1/1 ! "
                      "x264enc key-int-max=100 speed-preset=ultrafast bframes=2");
    auto frames = std::make_shared<VideoFrames>();
    VideoView pane(frames);
    pane.resize(480, 270);
    pane.show();
    GstMediaPlayer player("fakesink sync=true");
    player.setPictureOutput(frames);
    player.setVideoFileName(path);
    ASSERT_GT(player.duration(), 0) << player.lastError().toStdString();
    // As the pane's resize does, from the streaming thread as the tenth frame
    // of the range shows.
    int seen = 0;
    const QMetaObject::Connection resize = QObject::connect(
        frames.get(), &VideoFrames::shown, frames.get(),
        [&](const QImage&, double) {
            if (++seen == 10)
                frames->setViewSize(&pane, QSize(320, 180));
        },
        Qt::DirectConnection);
    const std::vector<Shown> shown = playRange(player, *frames, 20.0 / kFramesPerSecond, 60.0 / kFramesPerSecond);
    QObject::disconnect(resize);
    ASSERT_GT(shown.size(), 10u);
    EXPECT_EQ(shown.front().number, 20);
    EXPECT_EQ(shown.back().number, 59);
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        // The range's first frame may come twice, as the paused pipeline's
        // and again as it plays; after it, one frame after the other.
        if (i == 1)
            EXPECT_LE(shown[i].number - shown[0].number, 1);
        else if (i > 1)
            EXPECT_EQ(shown[i].number, shown[i - 1].number + 1);
        EXPECT_EQ(shown[i].size, i < 10 ? QSize(480, 270) : QSize(320, 180));
    }
}
