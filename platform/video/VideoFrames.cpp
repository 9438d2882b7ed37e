#include "platform/video/VideoFrames.h"

#include <QMetaObject>
#include <QMutexLocker>

void VideoFrames::show(const QImage& frame, double seconds)
{
    if (held_)
        return;
    {
        QMutexLocker lock(&mutex_);
        frame_ = frame;
        seconds_ = seconds;
    }
    ++framesShown_;
    emit shown(frame, seconds);
    announce();
}

void VideoFrames::clear()
{
    {
        QMutexLocker lock(&mutex_);
        frame_ = QImage();
        seconds_ = -1;
    }
    announce();
}

QImage VideoFrames::frame() const
{
    QMutexLocker lock(&mutex_);
    return frame_;
}

double VideoFrames::frameTime() const
{
    QMutexLocker lock(&mutex_);
    return seconds_;
}

// Frames come 25 or more a second; a window that is busy gets one call for
// all that came meanwhile and paints only the last.
void VideoFrames::announce()
{
    if (announced_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            announced_ = false;
            emit changed();
        },
        Qt::QueuedConnection);
}

void VideoFrames::setViewSize(const void* view, const QSize& size)
{
    QMutexLocker lock(&mutex_);
    if (size.isEmpty())
        viewSizes_.erase(view);
    else
        viewSizes_[view] = size;
}

QSize VideoFrames::viewSize() const
{
    QMutexLocker lock(&mutex_);
    QSize largest;
    for (const auto& [view, size] : viewSizes_)
        largest = largest.expandedTo(size);
    return largest;
}
