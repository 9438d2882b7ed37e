// The lesson player's picture of a large video: frames scaled down on the way
// are still exactly the range's own, and a small video is never blown up.

#include "NumberedVideo.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"

#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(VideoPress, FramesAreScaledToThePaneLimitAndStayTheRangesOwn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const struct {
        const char* name;
        // Scales the numbered frames up before they are encoded; empty keeps them.
        const char* enlarge;
        QSize expected;
    } videos[] = {
        {"1080p", "videoscale ! video/x-raw,width=1920,height=1080,pixel-aspect-ratio=1/1 ! ", QSize(1280, 720)},
        {"720p", "videoscale ! video/x-raw,width=1280,height=720,pixel-aspect-ratio=1/1 ! ", QSize(1280, 720)},
        {"small", "", QSize(160, 120)},
    };
    for (const auto& video : videos) {
        SCOPED_TRACE(video.name);
        const QString path = folder.filePath(QString(video.name).replace(' ', '-') + ".mp4");
        makeNumberedVideo(path, 6 * kFramesPerSecond,
                          QString(video.enlarge) + "x264enc key-int-max=100 speed-preset=ultrafast bframes=2");
        auto frames = std::make_shared<VideoFrames>();
        GstMediaPlayer player("fakesink sync=true");
        player.setPictureOutput(frames);
        player.setVideoFileName(path);
        ASSERT_GT(player.duration(), 0) << player.lastError().toStdString();
        // Frames 43..54, then 112..119: each range's first frame is its own,
        // however far it lies after the key frame.
        for (const auto& [first, last] : {std::pair{43, 54}, std::pair{112, 119}}) {
            const std::vector<Shown> shown =
                playRange(player, *frames, double(first) / kFramesPerSecond, double(last + 1) / kFramesPerSecond);
            ASSERT_FALSE(shown.empty());
            EXPECT_EQ(shown.front().number, first);
            EXPECT_EQ(shown.back().number, last);
            for (const Shown& frame : shown)
                EXPECT_EQ(frame.size, video.expected);
        }
    }
}
