#pragma once

// The comparison panel's picture of two readings on one time axis: the
// recording's sentence above, the learner's take below, each drawn as its
// waveform with its pitch contour over it, and the place the playing one has
// reached. Each row starts a little before its voice, so the two readings
// line up at their first sound whatever silence came before.

#include "platform/analysis/VoiceAnalysis.h"

#include <QWidget>

#include <memory>
#include <optional>

class ComparisonView : public QWidget {
    Q_OBJECT
public:
    enum Row { RecordingRow = 0, TakeRow = 1 };

    explicit ComparisonView(QWidget* parent = nullptr);

    // Null clears the row.
    void setReading(Row row, std::shared_ptr<const VoiceProfile> reading);
    const VoiceProfile* reading(Row row) const { return readings_[row].get(); }

    // The row that plays and how far into its audio, in seconds.
    void setPlayPosition(Row row, double seconds);
    void clearPlayPosition();
    std::optional<Row> playingRow() const { return playingRow_; }
    double playPosition() const { return playPosition_; }

    // Where the moment `seconds` into a row's audio lies across the view;
    // nullopt when that row is empty or the moment outside what it shows.
    std::optional<int> xAt(Row row, double seconds) const;
    QRect rowRect(Row row) const;

    static const QColor kWaveColour;
    static const QColor kPitchColour;
    static const QColor kPositionColour;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Span {
        double from = 0;  // seconds into the audio
        double to = 0;
    };
    Span shownSpan(Row row) const;
    double secondsAcross() const;
    QRect plotArea() const;
    void pitchRange(float& lowHz, float& highHz) const;
    void drawRow(QPainter& painter, Row row, float lowHz, float highHz) const;
    void drawWave(QPainter& painter, Row row, const QRect& area) const;
    void drawPitch(QPainter& painter, Row row, const QRect& area, float lowHz, float highHz) const;
    void drawTimeAxis(QPainter& painter) const;

    std::shared_ptr<const VoiceProfile> readings_[2];
    std::optional<Row> playingRow_;
    double playPosition_ = 0;
};
