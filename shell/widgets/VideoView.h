#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QTextLayout;
class VideoFrames;

// Paints the video's frame on show, scaled to fit with its proportions kept,
// and a line of text over the lower part of the picture when one is set; a
// double-click on a word of that line is told.
// While on screen it tells the frames its size, so that the player makes
// them no larger than it paints them.
class VideoView : public QWidget {
    Q_OBJECT
public:
    explicit VideoView(std::shared_ptr<VideoFrames> frames, QWidget* parent = nullptr);
    ~VideoView() override;

    // The text over the picture; empty for none.
    void setCaption(const QString& text);
    QString caption() const { return caption_; }

    QSize sizeHint() const override;

signals:
    // A double-click on a word of the text over the picture: its characters
    // there and where it shows, in the view's coordinates.
    void captionWordChosen(int from, int length, const QRect& box);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRect pictureRect(const QSize& frame) const;
    QRect shownPicture() const;
    std::unique_ptr<QTextLayout> layCaption(const QRect& picture) const;
    void paintCaption(QPainter& painter, const QRect& picture);
    void tellSize();

    std::shared_ptr<VideoFrames> frames_;
    QString caption_;
};
