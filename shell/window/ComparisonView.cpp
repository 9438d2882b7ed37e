#include "shell/window/ComparisonView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const char* const kAccessibleName = "波形对比";
const char* const kRowCaptions[] = {"标准发音", "您的发音"};

// Silence kept before and after each row's voice.
constexpr double kLeadSeconds = 0.15;
// The axis never shows less than this, so a short word is not stretched
// across the whole width.
constexpr double kShortestAxisSeconds = 1.0;
// The pitch axis spans at least an octave: a voice that hardly moves looks
// flat, as it sounds.
constexpr float kNarrowestPitchRatio = 2.0f;
constexpr float kDefaultLowHz = 80, kDefaultHighHz = 320;

constexpr int kCaptionWidth = 64;
constexpr int kAxisHeight = 16;
constexpr int kRowGap = 3;
constexpr int kLeastTickSpacing = 48;

const QColor kBackground(255, 255, 255);
const QColor kRowBackground(244, 246, 250);
const QColor kTextColour(80, 80, 80);

}  // namespace

const QColor ComparisonView::kWaveColour(110, 140, 190);
const QColor ComparisonView::kPitchColour(230, 110, 0);
const QColor ComparisonView::kPositionColour(204, 0, 0);

ComparisonView::ComparisonView(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(kAccessibleName);
    // Everything is painted here, every time: nothing of the parent shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ComparisonView::setReading(Row row, std::shared_ptr<const VoiceProfile> reading)
{
    readings_[row] = std::move(reading);
    update();
}

void ComparisonView::setPlayPosition(Row row, double seconds)
{
    if (playingRow_ == row && playPosition_ == seconds)
        return;
    playingRow_ = row;
    playPosition_ = seconds;
    update();
}

void ComparisonView::clearPlayPosition()
{
    if (!playingRow_)
        return;
    playingRow_.reset();
    update();
}

ComparisonView::Span ComparisonView::shownSpan(Row row) const
{
    const VoiceProfile* r = reading(row);
    if (r == nullptr)
        return {};
    if (!r->hasVoice || r->voiceEnd <= r->voiceStart)
        return {0, r->seconds};
    return {std::max(0.0, r->voiceStart * kFrameSeconds - kLeadSeconds),
            std::min(r->seconds, r->voiceEnd * kFrameSeconds + kLeadSeconds)};
}

// The longest reading with a voice sets the axis; a take of silence is
// drawn along it rather than squeezing the sentence into a corner.
double ComparisonView::secondsAcross() const
{
    double longest = 0, longestVoiced = 0;
    for (Row row : {RecordingRow, TakeRow}) {
        const Span span = shownSpan(row);
        longest = std::max(longest, span.to - span.from);
        if (reading(row) != nullptr && reading(row)->hasVoice)
            longestVoiced = std::max(longestVoiced, span.to - span.from);
    }
    return std::max(kShortestAxisSeconds, longestVoiced > 0 ? longestVoiced : longest);
}

QRect ComparisonView::plotArea() const
{
    return rect().adjusted(kCaptionWidth, 0, -4, -kAxisHeight);
}

QRect ComparisonView::rowRect(Row row) const
{
    const QRect plot = plotArea();
    const int height = (plot.height() - kRowGap) / 2;
    return QRect(plot.left(), plot.top() + row * (height + kRowGap), plot.width(), height);
}

std::optional<int> ComparisonView::xAt(Row row, double seconds) const
{
    const Span span = shownSpan(row);
    if (reading(row) == nullptr || seconds < span.from || seconds > span.to
        || seconds - span.from > secondsAcross())
        return std::nullopt;
    const QRect plot = plotArea();
    return plot.left() + int(std::lround((seconds - span.from) / secondsAcross() * (plot.width() - 1)));
}

void ComparisonView::pitchRange(float& lowHz, float& highHz) const
{
    lowHz = 1e9f;
    highHz = 0;
    for (Row row : {RecordingRow, TakeRow}) {
        const VoiceProfile* r = reading(row);
        if (r == nullptr)
            continue;
        for (float hz : r->pitchHz) {
            if (hz > 0) {
                lowHz = std::min(lowHz, hz);
                highHz = std::max(highHz, hz);
            }
        }
    }
    if (highHz == 0) {
        lowHz = kDefaultLowHz;
        highHz = kDefaultHighHz;
    }
    lowHz *= 0.9f;
    highHz *= 1.1f;
    const float ratio = highHz / lowHz;
    if (ratio < kNarrowestPitchRatio) {
        const float widen = std::sqrt(kNarrowestPitchRatio / ratio);
        lowHz /= widen;
        highHz *= widen;
    }
}

void ComparisonView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    float lowHz = 0, highHz = 0;
    pitchRange(lowHz, highHz);
    for (Row row : {RecordingRow, TakeRow})
        drawRow(painter, row, lowHz, highHz);
    drawTimeAxis(painter);
}

void ComparisonView::drawRow(QPainter& painter, Row row, float lowHz, float highHz) const
{
    const QRect area = rowRect(row);
    painter.fillRect(area, kRowBackground);
    painter.setPen(kTextColour);
    painter.drawText(QRect(0, area.top(), kCaptionWidth - 6, area.height()), Qt::AlignRight | Qt::AlignVCenter,
                     kRowCaptions[row]);
    if (reading(row) == nullptr)
        return;
    painter.save();
    painter.setClipRect(area);
    drawWave(painter, row, area);
    drawPitch(painter, row, area, lowHz, highHz);
    if (playingRow_ == row) {
        if (const auto x = xAt(row, playPosition_)) {
            painter.setPen(QPen(kPositionColour, 2));
            painter.drawLine(*x, area.top(), *x, area.bottom());
        }
    }
    painter.restore();
}

// One vertical stroke per pixel column: the largest peak of the frames that
// fall into it, scaled to the row's own loudest, so a quiet take is as easy
// to read as a loud one.
void ComparisonView::drawWave(QPainter& painter, Row row, const QRect& area) const
{
    const VoiceProfile& r = *reading(row);
    const Span span = shownSpan(row);
    const int first = int(span.from / kFrameSeconds);
    const int last = std::min(r.frames(), int(std::ceil(span.to / kFrameSeconds)));
    if (last <= first)
        return;
    const float loudest = *std::max_element(r.peaks.begin() + first, r.peaks.begin() + last);
    const double framesPerPixel = secondsAcross() / kFrameSeconds / std::max(1, area.width() - 1);
    const int middle = area.center().y();
    const int half = area.height() / 2 - 1;
    painter.setPen(kWaveColour);
    for (int x = 0; x < area.width(); ++x) {
        const int from = first + int(x * framesPerPixel);
        const int to = std::min(last, std::max(from + 1, first + int((x + 1) * framesPerPixel)));
        if (from >= last)
            break;
        const float peak = *std::max_element(r.peaks.begin() + from, r.peaks.begin() + to);
        // Silence is a flat line.
        const int height = loudest > 0 ? std::max(1, int(std::lround(peak / loudest * half))) : 0;
        painter.drawLine(area.left() + x, middle - height, area.left() + x, middle + height);
    }
}

// The pitch on a logarithmic scale shared by both rows, so that the same
// tune sung higher lies higher and looks the same shape; broken where there
// is no voice.
void ComparisonView::drawPitch(QPainter& painter, Row row, const QRect& area, float lowHz, float highHz) const
{
    const VoiceProfile& r = *reading(row);
    const Span span = shownSpan(row);
    const double pixelsPerFrame = kFrameSeconds / secondsAcross() * (area.width() - 1);
    const double octaves = std::log2(highHz / lowHz);
    QPainterPath path;
    bool drawing = false;
    for (int i = int(span.from / kFrameSeconds); i < r.frames() && i * kFrameSeconds <= span.to; ++i) {
        if (r.pitchHz[i] <= 0) {
            drawing = false;
            continue;
        }
        const QPointF point(area.left() + (i - span.from / kFrameSeconds) * pixelsPerFrame,
                            area.bottom() - std::log2(r.pitchHz[i] / lowHz) / octaves * area.height());
        if (drawing)
            path.lineTo(point);
        else
            path.moveTo(point);
        drawing = true;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kPitchColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (row == RecordingRow) {
        painter.setPen(kTextColour);
        const QRect labels = area.adjusted(0, 0, -3, 0);
        painter.drawText(labels, Qt::AlignRight | Qt::AlignTop, QString("%1 Hz").arg(std::lround(highHz)));
        painter.drawText(labels, Qt::AlignRight | Qt::AlignBottom, QString("%1 Hz").arg(std::lround(lowHz)));
    }
}

// Seconds from the start of what each row shows.
void ComparisonView::drawTimeAxis(QPainter& painter) const
{
    const QRect plot = plotArea();
    const double across = secondsAcross();
    double step = 0.5;
    for (double candidate : {0.5, 1.0, 2.0, 5.0, 10.0, 30.0}) {
        step = candidate;
        if (candidate / across * plot.width() >= kLeastTickSpacing)
            break;
    }
    painter.setPen(kTextColour);
    const int top = plot.bottom() + 1;
    for (int k = 0; k * step <= across + 1e-9; ++k) {
        const int x = plot.left() + int(std::lround(k * step / across * (plot.width() - 1)));
        painter.drawLine(x, top, x, top + 3);
        const QString text = QString::number(k * step, 'g', 3) + " s";
        painter.drawText(QRect(x + 2, top, kLeastTickSpacing, kAxisHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}
