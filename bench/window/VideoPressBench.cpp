// A press on a sentence of a video lesson → its first frame handed to the
// pane and its first sample out of the sound server, in the window as the
// program composes it (WebEngine pages, the GStreamer lesson player on the
// sound server, the pane). The sentences start at times spread over the
// video's key frame interval, so each press decodes from the key frame
// before. Then the program's anonymous memory while a sentence of the video
// lesson plays, and while one of the shipped (audio) lesson does.
//
//   bench_video_press <program folder> <video> <sound server sink> <presses>
//
// The video's sound must be a steady tone: its range's first sample is the
// first loud sample at the sink's monitor.

#include "bench/BenchProcess.h"
#include "course/VideoReference.h"
#include "platform/video/VideoFrames.h"
#include "platform/web/PageEngine.h"
#include "shell/Features.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Sentence starts, seconds: 0.2 s to 3.96 s after a key frame (every 4 s).
const char* const kStarts[] = {"00:01.72", "00:05.36", "00:07.96", "00:12.88",
                               "00:16.52", "00:20.20", "00:23.60", "00:27.32"};
constexpr int kSentences = sizeof kStarts / sizeof *kStarts;
constexpr int kRate = 44100;
constexpr int kThreshold = 2000;

std::atomic<long long> armedAt{0}, frameAt{0}, soundAt{0};

long long now() { return Clock::now().time_since_epoch().count(); }

GstFlowReturn onMonitor(GstAppSink* sink, gpointer)
{
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    const long long arrived = now();
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (armedAt && !soundAt && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const auto* samples = reinterpret_cast<const gint16*>(map.data);
        const int count = int(map.size / 2);
        for (int i = 0; i < count; ++i) {
            if (std::abs(int(samples[i])) > kThreshold) {
                // The buffer arrives once its last sample is in: sample i
                // came out that much earlier.
                soundAt = arrived - (long long)(count - i) * 1000000000LL / kRate;
                break;
            }
        }
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstElement* listen(const QString& sinkName)
{
    const QString description = QString("pulsesrc device=%1.monitor buffer-time=20000 latency-time=5000 "
                                         "! audio/x-raw,format=S16LE,rate=%2,channels=1 ! appsink name=ears sync=false")
                                    .arg(sinkName)
                                    .arg(kRate);
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    GstElement* ears = gst_bin_get_by_name(GST_BIN(pipeline), "ears");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onMonitor;
    gst_app_sink_set_callbacks(GST_APP_SINK(ears), &callbacks, nullptr, nullptr);
    gst_object_unref(ears);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    return pipeline;
}

bool writeVolume(const QString& folder, const QString& video)
{
    const QString volume = folder + "/own/Video";
    QDir().mkpath(volume);
    const QString shipped = folder + "/books/" + QDir(folder + "/books").entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    if (!QFile::copy(shipped + "/lesson.txt", volume + "/lesson.txt") ||
        !QFile::copy(shipped + "/tlx1001.mp3", volume + "/tlx1001.mp3"))
        return false;
    QFile timing(volume + "/tlx1001.lrc");
    QFile reference(volume + "/tlx1001" + kVideoReferenceExtension);
    if (!timing.open(QIODevice::WriteOnly) || !reference.open(QIODevice::WriteOnly))
        return false;
    for (const char* start : kStarts)
        timing.write(QByteArray("[") + start + "]\r\n");
    reference.write(videoReferenceBytes(video, volume, folder + "/own"));
    return true;
}

void chooseVolume(MainForm& form, bool video)
{
    auto* volumes = form.findChild<QComboBox*>("cbVolume");
    const int index = video ? volumes->findText("Video") : (volumes->findText("Video") == 0 ? 1 : 0);
    volumes->setCurrentIndex(index);
    settle(500);
}

// Presses sentence n as the learner does and waits for its first frame (when
// `video`) and first sample. Milliseconds, -1 for none. A prepared press
// chooses the sentence first (as the arrow keys do) and presses Space a
// moment later; any other press is on the sentence's sound icon, nothing
// made ready for it.
std::pair<double, double> press(MainForm& form, int n, bool video, bool prepared)
{
    // The sound of the sentence playing stops first, so the first loud
    // sample is the new sentence's.
    form.playback().stop();
    if (prepared)
        form.session().SetCurSentence(n);
    settle(300);
    frameAt = 0;
    soundAt = 0;
    armedAt = now();
    if (prepared) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &form, Qt::Key_Space);
    } else {
        form.modes().pressSentence(n, false);
    }
    QElapsedTimer waited;
    waited.start();
    while ((!soundAt || (video && !frameAt)) && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    const auto ms = [](long long at) { return at ? (at - armedAt) / 1e6 : -1.0; };
    return {ms(frameAt), ms(soundAt)};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    // As the program does at its start.
    setProcessMemoryRules();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    leaveOpenGlUnloaded();
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_video_press <program folder> <video> <sound server sink> <presses>\n");
        return 2;
    }
    gst_init(nullptr, nullptr);
    const QString folder = QDir::tempPath() + "/lexbay-video-press-bench";
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    if (std::system(QString("cp -r '%1/.' '%2/'").arg(argv[1], folder).toLocal8Bit().constData()) != 0 ||
        !writeVolume(folder, QString::fromLocal8Bit(argv[2])))
        return 1;
    QDir::setCurrent(folder);
    Module1::sAppPath = folder;

    Platform platform = Platform::real(RunFolders::locate(folder));
    platform.settingsFile = folder + "/settings.ini";
    platform.studyRecordFile = folder + "/record/study.sqlite";
    platform.ownBooks = folder + "/own";
    std::shared_ptr<VideoFrames> frames = platform.videoFrames;
    QObject::connect(
        frames.get(), &VideoFrames::shown, frames.get(),
        [](const QImage&, double) {
            if (armedAt && !frameAt)
                frameAt = now();
        },
        Qt::DirectConnection);
    MainForm form(std::move(platform));
    plugInFeatures(form);
    form.Form_Load();
    form.show();
    form.activateWindow();
    settle(1000);
    GstElement* ears = listen(QString::fromLocal8Bit(argv[3]));

    // Memory first, each lesson's sentence playing for a second.
    chooseVolume(form, false);
    press(form, 1, false, true);
    settle(1000);
    const long audioKb = anonymousKilobytes();
    chooseVolume(form, true);
    press(form, 1, true, true);
    settle(1000);
    const long videoKb = anonymousKilobytes();

    const int presses = std::atoi(argv[4]);
    std::vector<double> frameMs, soundMs, apartMs, kindMs[2];
    for (int i = 0; i < presses; ++i) {
        const int n = i % kSentences;
        const bool prepared = i % 2 == 0;
        const auto [frame, sound] = press(form, n, true, prepared);
        std::printf("press %d (sentence %d at %s, %s): first frame %.1f ms, first sample %.1f ms\n", i + 1, n + 1,
                    kStarts[n], prepared ? "prepared" : "icon", frame, sound);
        std::fflush(stdout);
        if (frame < 0 || sound < 0)
            continue;
        frameMs.push_back(frame);
        kindMs[prepared].push_back(frame);
        soundMs.push_back(sound);
        apartMs.push_back(std::abs(frame - sound));
        settle(400);
    }
    form.playback().stop();
    gst_element_set_state(ears, GST_STATE_NULL);
    gst_object_unref(ears);
    const auto worst = [](const std::vector<double>& v) { return v.empty() ? -1 : *std::max_element(v.begin(), v.end()); };
    std::printf("press -> first frame: median %.1f ms, worst %.1f ms (%zu of %d presses)\n", median(frameMs),
                worst(frameMs), frameMs.size(), presses);
    std::printf("prepared press -> first frame: median %.1f ms, worst %.1f ms\n", median(kindMs[1]),
                worst(kindMs[1]));
    std::printf("icon press -> first frame: median %.1f ms, worst %.1f ms\n", median(kindMs[0]), worst(kindMs[0]));
    std::printf("press -> first sample: median %.1f ms, worst %.1f ms\n", median(soundMs), worst(soundMs));
    std::printf("frame and sample apart: median %.1f ms, worst %.1f ms\n", median(apartMs), worst(apartMs));
    std::printf("anonymous memory while playing: video lesson %ld MB, audio lesson %ld MB, more %ld MB\n",
                videoKb / 1024, audioKb / 1024, (videoKb - audioKb) / 1024);
    form.close();
    QDir(folder).removeRecursively();
    return frameMs.empty() ? 1 : 0;
}
