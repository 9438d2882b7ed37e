#include "shell/widgets/VideoPane.h"

#include "platform/video/VideoFrames.h"
#include "shell/widgets/VideoView.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QSplitter>

namespace {

// The picture's share of the page's height until the learner drags the
// splitter.
constexpr double kFirstShare = 0.45;

}  // namespace

VideoPane::VideoPane(std::shared_ptr<VideoFrames> frames, QWidget* page, QWidget* parent)
    : QObject(parent)
    , splitter_(new QSplitter(Qt::Vertical, parent))
    , view_(new VideoView(frames ? std::move(frames) : std::make_shared<VideoFrames>()))
{
    splitter_->setObjectName("spVideo");
    view_->setObjectName("vwVideo");
    splitter_->setChildrenCollapsible(false);
    // Hidden before it goes in: the splitter then leaves no handle for it.
    view_->hide();
    splitter_->addWidget(view_);
    splitter_->addWidget(page);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        chosenHeight_ = view_->height();
        emit pictureResized();
    });
    connect(view_, &VideoView::captionWordChosen, this, [this](int from, int length, const QRect& box) {
        if (sentence_ >= 0 && sentence_ < lines_.size())
            emit captionWordChosen(sentence_, lines_[sentence_], from, length, box);
    });
}

QWidget* VideoPane::widget() const
{
    return splitter_;
}

// A splitter not on screen yet lays out its parts only when it shows; the
// page is placed at once all the same, as it was before it had a splitter
// around it, since a page loaded before the window shows takes its width.
void VideoPane::place(const QRect& rect)
{
    const QSize before = splitter_->size();
    splitter_->setGeometry(rect);
    if (!splitter_->isVisible() && before != rect.size()) {
        QResizeEvent resized(rect.size(), before);
        QCoreApplication::sendEvent(splitter_, &resized);
    }
    followChoices();
}

void VideoPane::showLesson(bool hasVideo, const QStringList& lines)
{
    hasVideo_ = hasVideo;
    lines_ = lines;
    sentence_ = -1;
    followChoices();
    emit pictureResized();
}

int VideoPane::pictureBottom() const
{
    if (!view_->isVisibleTo(splitter_))
        return 0;
    return splitter_->geometry().top() + view_->geometry().bottom() + 1 + splitter_->handleWidth();
}

void VideoPane::showSentence(int sentence)
{
    sentence_ = sentence;
    showCaption();
}

void VideoPane::setDictating(bool dictating)
{
    dictating_ = dictating;
    showCaption();
}

bool VideoPane::togglePicture()
{
    if (!hasVideo_)
        return false;
    pictureWanted_ = !pictureWanted_;
    followChoices();
    emit pictureResized();
    return true;
}

bool VideoPane::toggleCaption()
{
    if (!hasVideo_)
        return false;
    captionWanted_ = !captionWanted_;
    showCaption();
    return true;
}

void VideoPane::restore(const Choices& choices)
{
    pictureWanted_ = choices.picture;
    captionWanted_ = choices.caption;
    chosenHeight_ = choices.height;
    followChoices();
}

VideoPane::Choices VideoPane::choices() const
{
    return {pictureWanted_, captionWanted_, chosenHeight_};
}

void VideoPane::followChoices()
{
    const bool shown = hasVideo_ && pictureWanted_;
    view_->setVisible(shown);
    // The splitter sizes its parts once, when the picture first shows; after
    // that it keeps the learner's proportion as the window changes size.
    const int total = splitter_->height();
    if (shown && !placed_ && total > 0) {
        placed_ = true;
        const int height = chosenHeight_ > 0 ? qMin(chosenHeight_, total - 100) : int(total * kFirstShare);
        splitter_->setSizes({height, total - height});
    }
    showCaption();
}

void VideoPane::showCaption()
{
    const bool shown = hasVideo_ && captionWanted_ && !dictating_ && sentence_ >= 0 && sentence_ < lines_.size();
    view_->setCaption(shown ? lines_[sentence_] : QString());
}
