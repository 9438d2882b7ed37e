#include "shell/widgets/VideoView.h"

#include "platform/video/VideoFrames.h"

#include <QPainter>

VideoView::VideoView(std::shared_ptr<VideoFrames> frames, QWidget* parent)
    : QWidget(parent)
    , frames_(std::move(frames))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(60);
    connect(frames_.get(), &VideoFrames::changed, this, qOverload<>(&QWidget::update));
}

VideoView::~VideoView()
{
    frames_->setViewSize(this, QSize());
}

void VideoView::setCaption(const QString& text)
{
    if (text == caption_)
        return;
    caption_ = text;
    update();
}

QSize VideoView::sizeHint() const
{
    return {480, 270};
}

QRect VideoView::pictureRect(const QSize& frame) const
{
    const QSize fitted = frame.scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void VideoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QImage frame = frames_->frame();
    QRect picture = rect();
    if (!frame.isNull()) {
        picture = pictureRect(frame.size());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(picture, frame);
    }
    if (!caption_.isEmpty())
        paintCaption(painter, picture);
}

void VideoView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    tellSize();
}

void VideoView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    tellSize();
}

void VideoView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    tellSize();
}

// In device pixels: on a high-density screen the picture is painted with
// that many pixels.
void VideoView::tellSize()
{
    const qreal ratio = devicePixelRatioF();
    frames_->setViewSize(this, isVisible() ? QSize(qRound(width() * ratio), qRound(height() * ratio)) : QSize());
}

// White text with a dark outline reads on any picture.
void VideoView::paintCaption(QPainter& painter, const QRect& picture)
{
    QFont font = painter.font();
    font.setPixelSize(qBound(12, picture.height() / 14, 40));
    painter.setFont(font);
    const int margin = font.pixelSize() / 2;
    const QRect area = picture.adjusted(margin, margin, -margin, -margin);
    const int flags = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;
    const QRect box = painter.fontMetrics().boundingRect(area, flags, caption_);
    painter.fillRect(box.adjusted(-margin / 2, -margin / 4, margin / 2, margin / 4), QColor(0, 0, 0, 140));
    painter.setPen(Qt::white);
    painter.drawText(area, flags, caption_);
}
