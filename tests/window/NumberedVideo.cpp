#include "NumberedVideo.h"

#include "course/VideoReference.h"

#include <QFile>
#include <QPainter>
#include <gst/app/gstappsrc.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr int kWidth = 160, kHeight = 120, kStripes = 8;

}  // namespace

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

void makeNumberedVideo(const QString& path, int frames, const QString& encoder)
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

void writeVideoVolume(const QString& folder, const QStringList& starts, const QString& video)
{
    namespace fs = std::filesystem;
    const QString volume = folder + "/own/" + kVideoVolume;
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
