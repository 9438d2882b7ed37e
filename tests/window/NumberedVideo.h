#pragma once

// Video lessons made by the tests: an MP4 whose frames show their own
// number, the number read back from a picture, and a learner's volume whose
// lesson refers to a video.

#include <QImage>
#include <QString>
#include <QStringList>

inline constexpr int kFramesPerSecond = 25;
// The learner's volume writeVideoVolume() makes.
inline const QString kVideoVolume = "Video";

// Frame n of the video makeNumberedVideo() writes.
QImage numberedFrame(int n);
// The number a picture shows, read a third of the way down it; -1 for none.
int numberIn(const QImage& picture);

// An MP4 of `frames` numbered frames (H.264 by `encoder`, a key frame every
// 100 frames) with a tone as its AAC sound track, as long as the frames.
void makeNumberedVideo(const QString& path, int frames,
                       const QString& encoder = "x264enc key-int-max=100 speed-preset=ultrafast");

// The learner's volume kVideoVolume under `folder`/own: the first shipped
// lesson's text and recording, its sentences timed at `starts` ("ss.cc"), and
// a reference to `video`.
void writeVideoVolume(const QString& folder, const QStringList& starts, const QString& video);
