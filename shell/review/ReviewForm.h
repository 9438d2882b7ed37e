#pragma once

// The daily review (今日复习), over the main window: the sentences due, one
// after another, each heard from its lesson's recording on a player of its
// own, written from memory and graded. The grade proposed follows what the
// learner did; 1–4 (or the buttons) set it and go on, Enter takes it.
// Sentences graded 重来 come back once more at the end.

#include "record/ReviewState.h"
#include "review/ReviewGrade.h"

#include <QDialog>

class CourseLibrary;
class MediaPlayer;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ReviewSentences;

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

    // player may be null: the sentences are then not heard.
    ReviewForm(MediaPlayer* player, ReviewSentences& sentences, CourseLibrary& library, QWidget* parent = nullptr);

    void showSettings(int retentionPercent, int dailyLimit);
    // Starts a session on the queue read from the record.
    void start(const ReviewQueue& queue, const Options& options);
    // After the session: when the next sentences fall due.
    void showNextDue(const ReviewOverview& overview);

signals:
    void graded(const SentenceKey& sentence, int grade);
    // The last sentence was graded.
    void sessionEnded();
    void retentionChanged(int percent);
    void dailyLimitChanged(int limit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    struct Item {
        ReviewItem review;
        bool again = false;  // the second time, after 重来
    };
    enum class Step { Idle, Asking, Checked };

    void buildControls();
    void showItem();
    bool openRecording();
    void play();
    void showFirstLetters();
    void check();
    void grade(fsrs::Grade grade);
    void endSession();
    void skip(const QString& why);
    void proposeGrade(fsrs::Grade grade);
    int firstDifference(const QString& typed, const QString& right) const;

    MediaPlayer* player_;
    ReviewSentences& sentences_;
    CourseLibrary& library_;
    Options options_;
    QVector<Item> items_;
    int current_ = 0;
    Step step_ = Step::Idle;
    bool hintShown_ = false;
    bool answerRight_ = false;
    fsrs::Grade proposed_ = fsrs::Grade::Good;
    QString openedFile_;
    double start_ = 0, end_ = -1;
    int reviewed_ = 0, right_ = 0;

    QLabel* lbProgress_;
    QLabel* lbLesson_;
    QLabel* lbChinese_;
    QLabel* lbHint_;
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
