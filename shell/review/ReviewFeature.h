#pragma once

// The daily review (今日复习) plugged into the window: its command and the
// count on its button, read again after every grade and when the day
// changes, the review window and its settings, and the grades it writes to
// the study record. Words of the word book due are asked with their
// meanings from the dictionary, opened when the first one is shown.

#include "record/ReviewState.h"
#include "shell/window/WindowContext.h"

#include <QFuture>
#include <QObject>

#include <memory>

class Dictionary;
class QAction;
class QTimer;
class ReviewForm;
class ReviewSentences;

class ReviewFeature : public QObject {
    Q_OBJECT
public:
    explicit ReviewFeature(const WindowContext& context);
    ~ReviewFeature() override;

    // The toolbar's 今日复习: opens the review window on the sentences due.
    void btReview_click();

private:
    void restoreSettings();
    void connectForm();
    // Asks the record for the count on 今日复习.
    void readReviewCount();
    void followReviewDay();
    void showReviewCount(const ReviewOverview& overview);
    void writeGrade(const SentenceKey& sentence, const QString& word, int grade);
    // A word's answer: phonetic, meanings and marks, as lines.
    QString meaningOf(const QString& word);

    WindowContext context_;
    QAction* command_ = nullptr;
    std::unique_ptr<ReviewSentences> sentences_;
    std::unique_ptr<Dictionary> dictionary_;
    ReviewForm* form_ = nullptr;
    QTimer* dayTimer_ = nullptr;
    int dailyReviews_ = kDefaultDailyReviews;
    // The reads still out, each dropped when it is asked for again.
    QFuture<ReviewQueue> queueReply_;
    QFuture<ReviewOverview> countReply_, endReply_;
};
