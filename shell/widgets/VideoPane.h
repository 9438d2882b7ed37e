#pragma once

// The picture of a video lesson above its page: a splitter holding the video
// view and the lesson page, the view shown only for a lesson with a video and
// while the learner has not hidden it. Over the picture, when the learner
// wants it, the current sentence's English line; never while dictating.

#include <QObject>
#include <QStringList>

#include <memory>

class QAction;
class QRect;
class QSplitter;
class QWidget;
class VideoFrames;
class VideoView;

class VideoPane : public QObject {
    Q_OBJECT
public:
    // The page goes into the pane's splitter, which takes its place in
    // `parent`. Without `frames` the view shows no picture.
    VideoPane(std::shared_ptr<VideoFrames> frames, QWidget* page, QWidget* parent);

    // Placed where the page goes.
    QWidget* widget() const;
    void place(const QRect& rect);
    VideoView* view() const { return view_; }

    // A lesson was loaded: `lines` are its sentences' English lines; without
    // a video the pane is away.
    void showLesson(bool hasVideo, const QStringList& lines);
    void showSentence(int sentence);
    void setDictating(bool dictating);

    // Where the picture ends in the parent's pixels, the splitter's handle
    // under it included; 0 while no picture shows.
    int pictureBottom() const;

    // The keys' and the menu's toggles; false when the lesson has no video.
    bool togglePicture();
    bool toggleCaption();
    bool hasVideo() const { return hasVideo_; }
    bool pictureShown() const { return pictureWanted_; }
    bool captionShown() const { return captionWanted_; }

    // The learner's choices, as the settings keep them: whether the picture
    // and the line over it show, and the picture's height in pixels (0: not
    // chosen yet).
    struct Choices {
        bool picture = true;
        bool caption = true;
        int height = 0;
    };
    void restore(const Choices& choices);
    Choices choices() const;

signals:
    // The picture came, went or changed its height: what lies below it moves.
    void pictureResized();
    // A double-click on a word of sentence `sentence`'s line over the
    // picture: its characters in the line and where it shows, in the view's
    // coordinates.
    void captionWordChosen(int sentence, const QString& line, int from, int length, const QRect& box);

private:
    void followChoices();
    void showCaption();

    QSplitter* splitter_;
    VideoView* view_;
    bool hasVideo_ = false;
    bool pictureWanted_ = true;
    bool captionWanted_ = true;
    bool dictating_ = false;
    int chosenHeight_ = 0;
    bool placed_ = false;
    QStringList lines_;
    int sentence_ = -1;
};
