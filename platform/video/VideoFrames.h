#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>

#include <atomic>
#include <map>

// The picture of the video the lesson player plays: the frame on screen now
// and its time in the video. GStreamer's streaming thread hands frames in;
// the window reads them on its own thread. A frame stays until the next one
// comes or the picture is cleared, so the last frame of a range is held.
class VideoFrames : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Any thread: `frame` is on screen from now on, showing `seconds` of the
    // video.
    void show(const QImage& frame, double seconds);
    // Any thread: no picture (a lesson without a video).
    void clear();
    // While set, frames handed in are not shown: the player prerolls its
    // pipeline afresh before a range, and that frame is not the range's.
    void setHeld(bool held) { held_ = held; }

    QImage frame() const;
    // The time the frame shows; negative without a frame.
    double frameTime() const;
    // Frames shown since the object was made.
    quint64 framesShown() const { return framesShown_; }

    // Any thread: `view` shows the frames in `size` device pixels from now
    // on; an empty size when it is hidden or gone.
    void setViewSize(const void* view, const QSize& size);
    // The size of the largest view on show; empty when none shows, and the
    // frames then keep the size they would have without a view.
    QSize viewSize() const;

signals:
    // Emitted on the thread that shows the frame, as it shows it: for
    // observers that must see every frame (a measurement), connected
    // directly.
    void shown(const QImage& frame, double seconds);
    // The frame changed; on the thread this object lives on, at most one
    // waiting at a time.
    void changed();

private:
    void announce();

    mutable QMutex mutex_;
    QImage frame_;
    double seconds_ = -1;
    std::map<const void*, QSize> viewSizes_;
    std::atomic<quint64> framesShown_{0};
    std::atomic<bool> announced_{false};
    std::atomic<bool> held_{false};
};
