// The lesson player on a sound server of the test's own, heard at its
// output's monitor and matched sample by sample against the recording: each
// range begins with its own first sample and sounds at once, whatever came
// before it, and nothing sounds after its end, in a sound lesson and in a
// video lesson.

#include "HeardSound.h"
#include "OwnSoundServer.h"
#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Range {
    double start;
    double end;
};

const Range kRanges[] = {{0.62, 2.31}, {2.31, 4.47}, {4.47, 6.35}, {6.35, 8.52}};

// A press long after the fault's few milliseconds, well before its seconds.
constexpr double kSoundsAtOnceMs = 1000;

struct Lesson {
    GstMediaPlayer& player;
    void play(int r) { heard::playRange(player, kRanges[r].start, kRanges[r].end); }
    void playToEnd(int r, const std::vector<std::int16_t>& recording)
    {
        heard::playAndHear(player, recording, kRanges[r].start, kRanges[r].end, {}, 0);
    }
};

struct HeardCase {
    const char* name;
    // What the learner did since the lesson opened, before the press.
    std::function<void(Lesson&, const std::vector<std::int16_t>&)> before;
    int pressed;
    // What the study mode does as the pressed range ends.
    std::function<void(Lesson&)> atEnd;
    // The file was opened ahead while a page loaded, as the window opens a lesson.
    bool openedAhead = false;
};

const HeardCase kCases[] = {
    {"the first range after the file opened, a while later", [](Lesson&, auto&) { heard::wait(1500); }, 1, {}},
    {"a range after a speed change and a stopped range",
     [](Lesson& lesson, const auto& recording) {
         lesson.player.setRate(0.5);
         lesson.playToEnd(2, recording);
         heard::wait(500);
         lesson.player.setRate(1.0);
         lesson.play(3);
         heard::wait(600);
         lesson.player.stop();
         heard::wait(1500);
     },
     0, {}},
    {"a range whose end makes the next range ready",
     [](Lesson&, auto&) {},
     2,
     [](Lesson& lesson) { lesson.player.prepareRange(kRanges[3].start, kRanges[3].end); }},
    {"the first range at once after the file was opened ahead", [](Lesson&, auto&) {}, 1, {}, true},
};

class HeardOnSoundServer : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<OwnSoundServer>();
        folder = std::make_unique<QTemporaryDir>();
        std::string error;
        ASSERT_TRUE(heard::makeRecordings(folder->path().toStdString(), &error)) << error;
        for (const char* name : {"lesson.mp3", "lesson.mp4"}) {
            recordings.push_back(heard::decodeMono(folder->filePath(name).toStdString(), &error));
            ASSERT_FALSE(recordings.back().empty()) << error;
        }
    }
    static void TearDownTestSuite()
    {
        recordings.clear();
        folder.reset();
        server.reset();
    }

    static std::unique_ptr<OwnSoundServer> server;
    static std::unique_ptr<QTemporaryDir> folder;
    static std::vector<std::vector<std::int16_t>> recordings;
};

std::unique_ptr<OwnSoundServer> HeardOnSoundServer::server;
std::unique_ptr<QTemporaryDir> HeardOnSoundServer::folder;
std::vector<std::vector<std::int16_t>> HeardOnSoundServer::recordings;

TEST_P(HeardOnSoundServer, EachRangeFromItsFirstSampleAtOnceAndNothingAfterItsEnd)
{
    ASSERT_TRUE(server->running());
    // GStreamer's warnings of misuse, such as a buffer released twice.
    int criticals = 0;
    const guint handler = g_log_set_handler(
        "GStreamer", G_LOG_LEVEL_CRITICAL, [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); },
        &criticals);
    const bool video = GetParam();
    const std::vector<std::int16_t>& recording = recordings[video ? 1 : 0];
    for (const HeardCase& c : kCases) {
        SCOPED_TRACE(c.name);
        auto frames = std::make_shared<VideoFrames>();
        GstMediaPlayer player;
        player.setPictureOutput(frames);
        const QString file = folder->filePath(video ? "lesson.mp4" : "lesson.mp3");
        if (c.openedAhead) {
            player.prepareFile(file, video);
            heard::wait(150);
        }
        if (video)
            player.setVideoFileName(folder->filePath("lesson.mp4"));
        else
            player.setFileName(folder->filePath("lesson.mp3"));
        ASSERT_GT(player.duration(), 0) << player.lastError().toStdString();
        Lesson lesson{player};
        c.before(lesson, recording);
        const Range range = kRanges[c.pressed];
        const heard::Press press = heard::playAndHear(player, recording, range.start, range.end,
                                                      c.atEnd ? [&] { c.atEnd(lesson); } : std::function<void()>());
        ASSERT_FALSE(press.silent);
        ASSERT_TRUE(press.firstSampleOffsetMs.has_value());
        EXPECT_NEAR(*press.firstSampleOffsetMs, 0.0, 1.0);
        EXPECT_LT(press.latencyMs, kSoundsAtOnceMs);
        EXPECT_LE(press.heardAfterEndMs, 1.0);
    }
    g_log_remove_handler("GStreamer", handler);
    EXPECT_EQ(criticals, 0);
}

INSTANTIATE_TEST_SUITE_P(Lessons, HeardOnSoundServer, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Video" : "Sound"; });

}  // namespace
