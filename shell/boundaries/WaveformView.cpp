#include "shell/boundaries/WaveformView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kWordRow = 22;
// How near the pointer must come to a boundary to take it.
constexpr double kGrabPixels = 6;

const QColor kWave("#37474f");
const QColor kSentence("#e3f2fd");
const QColor kOtherBoundary("#9e9e9e");
const QColor kEditedBoundary("#1565c0");
const QColor kChosenBoundary("#c62828");
const QColor kPlayHead("#2e7d32");

}  // namespace

WaveformView::WaveformView(QWidget* parent) : QWidget(parent)
{
    setObjectName("vwWaveform");
    setMinimumHeight(160);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName("句子的波形");
}

void WaveformView::setSummary(std::shared_ptr<const WaveSummary> summary)
{
    summary_ = std::move(summary);
    waveStale_ = true;
    update();
}

void WaveformView::setBoundaries(std::vector<double> starts, int sentence, Side chosen)
{
    starts_ = std::move(starts);
    sentence_ = sentence;
    chosen_ = chosen;
    update();
}

void WaveformView::setDragged(std::optional<double> seconds)
{
    // Only the stretch between where the line was and where it is now changes.
    const double before = dragging_ ? xAt(boundaryAt(*dragging_)) : -1;
    dragged_ = seconds;
    const double after = dragging_ ? xAt(boundaryAt(*dragging_)) : -1;
    if (before < 0 || after < 0) {
        update();
        return;
    }
    const int margin = 8;
    update(QRect(QPoint(int(std::min(before, after)) - margin, 0), QPoint(int(std::max(before, after)) + margin, height())));
}

void WaveformView::setWords(std::vector<Word> words)
{
    words_ = std::move(words);
    waveStale_ = true;
    update();
}

void WaveformView::setPlayHead(double seconds)
{
    if (seconds == playHead_)
        return;
    playHead_ = seconds;
    update();
}

void WaveformView::setView(double from, double to)
{
    if (to <= from)
        return;
    from_ = from;
    to_ = to;
    waveStale_ = true;
    update();
}

QRect WaveformView::waveArea() const { return rect().adjusted(0, 0, 0, -kWordRow); }

double WaveformView::secondsAt(double x) const { return from_ + x / std::max(1, width()) * (to_ - from_); }

double WaveformView::xAt(double seconds) const { return (seconds - from_) / (to_ - from_) * width(); }

double WaveformView::boundaryAt(int side) const
{
    if (dragging_ == side && dragged_)
        return *dragged_;
    const size_t k = size_t(sentence_ + side);
    return k < starts_.size() ? starts_[k] : (summary_ ? summary_->seconds() : to_);
}

void WaveformView::drawWave()
{
    waveStale_ = false;
    const QRect area = waveArea();
    wave_ = QImage(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    wave_.setDevicePixelRatio(devicePixelRatioF());
    wave_.fill(Qt::transparent);
    QPainter p(&wave_);
    if (summary_ && !area.isEmpty()) {
        p.setPen(kWave);
        const double middle = area.height() / 2.0;
        const double scale = middle / 32767.0;
        for (int x = 0; x < area.width(); ++x) {
            const int first = summary_->frameAt(secondsAt(x));
            const int last = std::max(first + 1, summary_->frameAt(secondsAt(x + 1)));
            const auto [low, high] = summary_->peaks(first, last);
            p.drawLine(QPointF(x + 0.5, middle - high * scale), QPointF(x + 0.5, middle - low * scale + 0.5));
        }
    }

    // Seconds along the top.
    p.setPen(kOtherBoundary);
    for (double s = std::ceil(from_ * 2) / 2; s < to_; s += 0.5)
        p.drawText(QPointF(xAt(s) + 2, 12), QString::number(s, 'f', 1));

    // The words under the wave, each from its start up to the next.
    const QFontMetrics metrics = p.fontMetrics();
    for (size_t i = 0; i < words_.size(); ++i) {
        const double x = xAt(words_[i].start);
        const double next = i + 1 < words_.size() ? xAt(words_[i + 1].start) : xAt(words_[i].end) + 40;
        if (next < 0 || x > width())
            continue;
        p.setPen(kOtherBoundary);
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 6));
        p.setPen(Qt::black);
        const QString text = metrics.elidedText(words_[i].text, Qt::ElideRight, int(std::max(0.0, next - x - 4)));
        p.drawText(QPointF(x + 2, area.bottom() + kWordRow - 6), text);
    }
}

void WaveformView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect area = waveArea();
    const double start = boundaryAt(Start), end = boundaryAt(End);
    p.fillRect(QRectF(QPointF(xAt(start), 0), QPointF(xAt(end), area.bottom())), kSentence);
    if (waveStale_)
        drawWave();
    p.drawImage(QPoint(0, 0), wave_);

    for (size_t k = 0; k < starts_.size(); ++k) {
        const int side = int(k) - sentence_;
        if (side == Start || side == End)
            continue;
        p.setPen(QPen(kOtherBoundary, 1, Qt::DashLine));
        p.drawLine(QPointF(xAt(starts_[k]), 0), QPointF(xAt(starts_[k]), area.bottom()));
    }
    for (const int side : {Start, End}) {
        const double x = xAt(boundaryAt(side));
        const QColor colour = side == chosen_ ? kChosenBoundary : kEditedBoundary;
        p.setPen(QPen(colour, 2));
        p.drawLine(QPointF(x, 0), QPointF(x, area.bottom()));
        p.setBrush(colour);
        p.drawPolygon(QPolygonF({QPointF(x - 5, 0), QPointF(x + 5, 0), QPointF(x, 7)}));
    }
    if (playHead_ >= 0 && playHead_ >= from_ && playHead_ <= to_) {
        p.setPen(QPen(kPlayHead, 1));
        p.drawLine(QPointF(xAt(playHead_), 0), QPointF(xAt(playHead_), area.bottom()));
    }
}

void WaveformView::resizeEvent(QResizeEvent*) { waveStale_ = true; }

std::optional<int> WaveformView::sideNear(double x) const
{
    std::optional<int> near;
    double nearest = kGrabPixels;
    for (const int side : {Start, End}) {
        const double distance = std::abs(xAt(boundaryAt(side)) - x);
        if (distance <= nearest) {
            nearest = distance;
            near = side;
        }
    }
    return near;
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const double x = event->position().x();
    dragging_ = sideNear(x);
    if (dragging_)
        emit boundaryTaken(*dragging_);
    else
        emit playHeadSet(secondsAt(x));
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    if (dragging_)
        emit boundaryDragged(*dragging_, secondsAt(x));
    else
        setCursor(sideNear(x) ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    const int side = *std::exchange(dragging_, std::nullopt);
    const double at = dragged_.value_or(secondsAt(event->position().x()));
    dragged_.reset();
    emit boundaryDropped(side, at);
}

void WaveformView::wheelEvent(QWheelEvent* event)
{
    if (event->angleDelta().y() == 0)
        return;
    emit zoomAsked(event->angleDelta().y() > 0 ? 0.8 : 1.25, secondsAt(event->position().x()));
    event->accept();
}
