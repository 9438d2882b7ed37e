#include "ColourVideo.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cstdlib>

const QRgb kSecondColours[6] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00, 0xff00ffff, 0xffff00ff};

bool makeColourVideo(const QString& path, int width, int height, const QString& pixelShape)
{
    QDir().mkpath(QFileInfo(path).path());
    QStringList pipeline{"-q", "concat", "name=c", "!", "videoconvert", "!", "x264enc", "key-int-max=50",
                         "speed-preset=ultrafast", "!", "h264parse", "!", "mp4mux", "name=m", "!", "filesink",
                         "location=" + path, "audiotestsrc", "num-buffers=259", "!", "audioconvert", "!",
                         "avenc_aac", "!", "m."};
    for (QRgb colour : kSecondColours)
        pipeline << "videotestsrc" << "num-buffers=25" << "pattern=solid-color"
                 << QString("foreground-color=%1").arg(colour) << "!"
                 << QString("video/x-raw,width=%1,height=%2,framerate=25/1,pixel-aspect-ratio=%3")
                        .arg(width)
                        .arg(height)
                        .arg(pixelShape)
                 << "!" << "c.";
    QProcess gst;
    gst.start("gst-launch-1.0", pipeline);
    return gst.waitForFinished(60000) && gst.exitCode() == 0 && QFileInfo(path).size() > 0;
}

bool nearColour(QRgb seen, QRgb wanted)
{
    return std::abs(qRed(seen) - qRed(wanted)) < 48 && std::abs(qGreen(seen) - qGreen(wanted)) < 48 &&
           std::abs(qBlue(seen) - qBlue(wanted)) < 48;
}
