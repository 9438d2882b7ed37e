#pragma once

// A stretch of a lesson's recording drawn as its wave, with the sentences'
// starts over it, the words under it and the play head. The two boundaries
// of the sentence edited can be taken and dragged with the mouse; a click
// elsewhere sets the play head and the wheel zooms. The view only shows and
// reports: where a boundary may go is the editor's.

#include "boundaries/WaveSummary.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class WaveformView : public QWidget {
    Q_OBJECT
public:
    struct Word {
        double start = 0;
        double end = 0;
        QString text;
    };
    // The boundaries that can be dragged: the edited sentence's start (0)
    // and end (1).
    enum Side { Start = 0, End = 1 };

    explicit WaveformView(QWidget* parent = nullptr);

    void setSummary(std::shared_ptr<const WaveSummary> summary);
    // Whether a recording's wave is there to draw.
    bool showsWave() const { return summary_ && summary_->ok(); }
    // Every sentence's start; `sentence` is the one edited, `chosen` its
    // boundary the keys move.
    void setBoundaries(std::vector<double> starts, int sentence, Side chosen);
    // While a boundary is dragged: where it is drawn until it is dropped.
    void setDragged(std::optional<double> seconds);
    void setWords(std::vector<Word> words);
    // Negative: none.
    void setPlayHead(double seconds);
    double playHead() const { return playHead_; }
    void setView(double from, double to);
    double viewFrom() const { return from_; }
    double viewTo() const { return to_; }

    double secondsAt(double x) const;
    double xAt(double seconds) const;

signals:
    void boundaryTaken(int side);
    void boundaryDragged(int side, double seconds);
    void boundaryDropped(int side, double seconds);
    void playHeadSet(double seconds);
    // Zoom by `factor` (under 1: closer) around `seconds`.
    void zoomAsked(double factor, double seconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QRect waveArea() const;
    // The wave drawn once per view and size; boundaries and the play head
    // are drawn over it, so a drag redraws little.
    void drawWave();
    double boundaryAt(int side) const;
    std::optional<int> sideNear(double x) const;

    std::shared_ptr<const WaveSummary> summary_;
    std::vector<double> starts_;
    int sentence_ = 0;
    Side chosen_ = Start;
    std::optional<double> dragged_;
    std::vector<Word> words_;
    double playHead_ = -1;
    double from_ = 0, to_ = 1;
    QImage wave_;
    bool waveStale_ = true;
    std::optional<int> dragging_;
};
