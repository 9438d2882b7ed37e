#pragma once

// Pictures out of a video: the frame shown at a given time, exactly that frame
// (not the keyframe before it), as a JPEG no wider than asked. The video is
// opened once and only its picture is decoded; a frame a little after the one
// before is reached by decoding on, any other by a seek, so times in
// ascending order cost least. Blocking; use it off the window's thread.

#include <QByteArray>
#include <QString>

#include <atomic>

typedef struct _GstElement GstElement;

constexpr int kFrameGrabMaxWidth = 640;

class FrameGrab {
public:
    // Opens `videoPath`; error() says why when it cannot be read.
    explicit FrameGrab(const QString& videoPath, int maxWidth = kFrameGrabMaxWidth);
    ~FrameGrab();
    FrameGrab(const FrameGrab&) = delete;
    FrameGrab& operator=(const FrameGrab&) = delete;

    // The JPEG of the frame on screen at `seconds` (a time past the end gives
    // the last frame), scaled to at most the width given at construction,
    // keeping the picture's shape and never enlarged. Empty, with error()
    // naming the file, when there is no such frame.
    QByteArray frameAt(double seconds);

    QString error() const { return error_; }
    double duration() const { return duration_; }

private:
    QString open();
    bool reachable(double seconds) const;
    bool timedSeekTo(double seconds);
    bool timedForwardTo(double seconds);
    bool seekTo(double seconds);
    bool decodeForwardTo(double seconds);
    void hold(struct _GstSample* sample);
    QByteArray encoded(struct _GstSample* frame);
    QString failure(const QString& what);
    static void onPadAdded(GstElement* decoder, struct _GstPad* pad, void* self);
    static void onUnknownType(GstElement* decoder, struct _GstPad* pad, struct _GstCaps* caps, void* self);

    QString path_;
    int maxWidth_;
    QString error_;
    QString posted_;
    double duration_ = 0;
    bool opened_ = false;
    // Set on the streaming thread while the pipeline opens.
    std::atomic<int> streams_{0};       // the streams decodebin found
    std::atomic<bool> picture_{false};  // whether one of them is linked to the sink
    std::atomic<bool> undecodable_{false};  // a stream no installed decoder reads
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    // The last frame taken from the sink, and when it is shown.
    struct _GstSample* current_ = nullptr;
    double currentStart_ = 0;
    double currentEnd_ = 0;
    // Seconds a seek took, and seconds per second of video decoded on: running
    // averages, negative until measured.
    double seekCost_ = -1;
    double forwardCost_ = -1;
};
