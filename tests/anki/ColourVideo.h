#pragma once

// A test video made by GStreamer whose picture tells the time: one plain
// colour each second, 25 frames a second with a keyframe every 2 s, and a
// sound track. A frame taken from the keyframe before its time shows the
// wrong colour.

#include <QRgb>
#include <QString>

// The colour of each of its six seconds.
extern const QRgb kSecondColours[6];

// Writes it to `path` (its folder made), `width` × `height` pixels of the
// given shape ("1/1": square). False when GStreamer could not.
bool makeColourVideo(const QString& path, int width, int height, const QString& pixelShape = "1/1");

// Whether a colour read off a JPEG is `wanted`, give or take the encoding.
bool nearColour(QRgb seen, QRgb wanted);
