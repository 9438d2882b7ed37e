#include "shell/widgets/VideoView.h"

#include "platform/video/VideoFrames.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

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

// Where the picture shows: the whole view while no frame has come.
QRect VideoView::shownPicture() const
{
    const QImage frame = frames_->frame();
    return frame.isNull() ? rect() : pictureRect(frame.size());
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

// The text's lines over the picture: centred, wrapped at words, the last one
// a margin above the picture's bottom. Painting and a double-click's word
// both go by this layout.
std::unique_ptr<QTextLayout> VideoView::layCaption(const QRect& picture) const
{
    QFont font = this->font();
    font.setPixelSize(qBound(12, picture.height() / 14, 40));
    const int margin = font.pixelSize() / 2;
    const QRect area = picture.adjusted(margin, margin, -margin, -margin);
    auto layout = std::make_unique<QTextLayout>(caption_, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout->setTextOption(option);
    layout->beginLayout();
    qreal height = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout->endLayout();
    layout->setPosition(QPointF(area.left(), area.bottom() - height));
    return layout;
}

// White text on a dark band reads on any picture.
void VideoView::paintCaption(QPainter& painter, const QRect& picture)
{
    const std::unique_ptr<QTextLayout> layout = layCaption(picture);
    const int margin = layout->font().pixelSize() / 2;
    QRectF box;
    for (int i = 0; i < layout->lineCount(); ++i)
        box |= layout->lineAt(i).naturalTextRect();
    box.translate(layout->position());
    painter.fillRect(box.toAlignedRect().adjusted(-margin / 2, -margin / 4, margin / 2, margin / 4),
                     QColor(0, 0, 0, 140));
    painter.setPen(Qt::white);
    layout->draw(&painter, QPointF());
}

void VideoView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (caption_.isEmpty())
        return;
    const std::unique_ptr<QTextLayout> layout = layCaption(shownPicture());
    const QPointF at = event->position() - layout->position();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (!line.naturalTextRect().contains(at))
            continue;
        // The word's letters: Latin letters and digits, with the apostrophes,
        // hyphens and stops inside words.
        auto inWord = [](QChar c) {
            return c.isLetterOrNumber() || c == '\'' || c == QChar(0x2019) || c == '-' || c == '.';
        };
        int from = line.xToCursor(at.x());
        int to = from;
        while (from > line.textStart() && inWord(caption_.at(from - 1)))
            --from;
        while (to < line.textStart() + line.textLength() && inWord(caption_.at(to)))
            ++to;
        if (from == to)
            return;
        const qreal left = line.cursorToX(from) + layout->position().x();
        const qreal right = line.cursorToX(to) + layout->position().x();
        const qreal top = line.y() + layout->position().y();
        emit captionWordChosen(from, to - from, QRectF(left, top, right - left, line.height()).toAlignedRect());
        return;
    }
}
