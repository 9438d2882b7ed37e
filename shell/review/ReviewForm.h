#pragma once

// The daily review (今日复习), over the main window: the sentences due, one
// after another, each heard from its lesson's recording on a player of its
// own (a video lesson's sentence with its picture, above the sentence),
// written from memory and graded: 1–4 (or the buttons) set the grade and
// go on, Enter takes the one proposed. A word of the word book is asked in
// the sentence it was kept from, the word in bold and the sentence played:
// Enter shows its meaning, and the learner grades their recall. The
// session's course (what comes next, what comes back, what is proposed) is
// review::ReviewSession's.

#include "record/ReviewState.h"
#include "review/ReviewSession.h"

#include <QDialog>
#include <QSet>

#include <functional>
#include <memory>

class CourseLibrary;
class MediaPlayer;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ReviewSentences;
class VideoFrames;
class VideoView;
struct SentenceSound;

class ReviewForm : public QDialog {
    Q_OBJECT
public:
    // How the main window is set: the speed sentences play at, the forgiving
    // check, the Chinese line shown.
    struct Options {
        int speedPercent = 100;
        bool lenient = false;
        bool showChinese = true;
    };

    // player may be null: the sentences are then not heard. `frames` is
    // where the player shows a video's picture; without it a video lesson's
    // sentences are heard from their recording alone.
    // meaningOf: a word's answer, its phonetic and Chinese meanings as lines
    // of plain text.
    ReviewForm(MediaPlayer* player, std::shared_ptr<VideoFrames> frames, ReviewSentences& sentences,
               CourseLibrary& library, std::function<QString(const QString& word)> meaningOf,
               QWidget* parent = nullptr);

    void showSettings(int retentionPercent, int dailyLimit);
    // Starts a session on the queue read from the record.
    void start(const ReviewQueue& queue, const Options& options);
    // After the session: when the next sentences fall due.
    void showNextDue(const ReviewOverview& overview);

signals:
    void graded(const SentenceKey& sentence, int grade);
    void wordGraded(const QString& word, int grade);
    // The last sentence was graded.
    void sessionEnded();
    void retentionChanged(int percent);
    void dailyLimitChanged(int limit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void showItem();
    void askWord(const ReviewItem& item);
    bool openRecording();
    bool openSource(const SentenceSound& sound);
    void showPicture(bool shown);
    void tell(const QString& notice);
    void play();
    void showFirstLetters();
    void check();
    void revealWord();
    void grade(fsrs::Grade grade);
    void endSession();
    void skip(const QString& why);
    const ReviewItem& currentItem() const;
    const SentenceKey& currentSentence() const { return currentItem().sentence; }
    // What the session counts in: sentences, or items once words are among them.
    QString unit() const;

    MediaPlayer* player_;
    std::shared_ptr<VideoFrames> frames_;
    ReviewSentences& sentences_;
    CourseLibrary& library_;
    std::function<QString(const QString&)> meaningOf_;
    Options options_;
    ReviewQueue queue_;
    review::ReviewSession session_;
    QString openedFile_;
    double start_ = 0, end_ = -1;
    // Whether the current item has a range to play: a word's sentence may not.
    bool audible_ = false;
    // The file open plays with its picture.
    bool playsVideo_ = false;
    // Videos heard through their recording (moved away, or not playable):
    // each said once, never tried again.
    QSet<QString> audioOnlyVideos_;
    bool grownForPicture_ = false;

    QLabel* lbProgress_;
    QLabel* lbLesson_;
    VideoView* vwPicture_;
    QLabel* lbChinese_;
    QLabel* lbHint_;
    QLabel* lbWordSentence_;
    QLineEdit* txtAnswer_;
    QLabel* lbResult_;
    QPushButton* btReplay_;
    QPushButton* btHint_;
    QPushButton* gradeButtons_[4];
    QLabel* lbNotice_;
    QLabel* lbSummary_;
    QSpinBox* spRetention_;
    QSpinBox* spDailyLimit_;
};
