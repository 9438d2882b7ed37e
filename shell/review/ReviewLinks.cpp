// The window's side of the daily review: the 今日复习 button and its count,
// read again after every grade and when the day changes, the review window,
// its settings, and the grades it sends to the record.

#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "review/Fsrs.h"
#include "shell/ankiexport/AnkiExportForm.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "shell/review/ReviewForm.h"
#include "shell/review/ReviewSentences.h"
#include "shell/window/Settings.h"
#include "shell/window/SpellPanel.h"
#include "shell/record/StudyRecordForm.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <QDateTime>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

const char* const kRetentionKey = "DesiredRetention";
const char* const kDailyLimitKey = "ReviewDailyLimit";
constexpr int kDefaultRetentionPercent = fsrs::Scheduler::kDefaultRetentionPercent;
// How long after midnight the count is read again, and the longest it goes unread.
constexpr qint64 kPastMidnightMs = 1000;
constexpr qint64 kLongestCountAgeMs = 10 * 60 * 1000;

}  // namespace

void MainForm::createReview()
{
    const int retention = std::clamp(settings_->number(kRetentionKey, kDefaultRetentionPercent),
                                     fsrs::Scheduler::kMinRetentionPercent, fsrs::Scheduler::kMaxRetentionPercent);
    dailyReviews_ = std::max(1, settings_->number(kDailyLimitKey, kDefaultDailyReviews));
    record_->setDesiredRetention(retention / 100.0);
    reviewSentences_ = std::make_unique<ReviewSentences>(*platform_.library,
                                                         QStringList{platform_.shippedBooks, platform_.ownBooks});
    reviewForm_ = new ReviewForm(platform_.reviewPlayer.get(), platform_.reviewFrames, *reviewSentences_,
                                 *platform_.library, this);
    reviewForm_->showSettings(retention, dailyReviews_);
    connect(reviewForm_, &ReviewForm::graded, this, [this](const SentenceKey& sentence, int grade) {
        RecordEvent event;
        event.kind = RecordEvent::Reviewed;
        event.at = QDateTime::currentMSecsSinceEpoch();
        event.sentence = sentence;
        event.grade = grade;
        record_->add(event);
        readReviewCount();
    });
    connect(recorder_.get(), &StudyRecorder::sentenceGraded, this, &MainForm::readReviewCount);
    connect(reviewForm_, &ReviewForm::sessionEnded, this, [this] {
        readReviewCount();
        whenLatestAnswered(reviewEndReply_, record_->readReviewOverview(), reviewForm_,
                           [form = reviewForm_](const ReviewOverview& overview) { form->showNextDue(overview); });
    });
    connect(reviewForm_, &ReviewForm::retentionChanged, this, [this](int percent) {
        settings_->setNumberOnceUsed(kRetentionKey, percent, kDefaultRetentionPercent);
        record_->setDesiredRetention(percent / 100.0);
    });
    connect(reviewForm_, &ReviewForm::dailyLimitChanged, this, [this](int limit) {
        settings_->setNumberOnceUsed(kDailyLimitKey, limit, kDefaultDailyReviews);
        dailyReviews_ = limit;
        readReviewCount();
    });
    reviewDayTimer_ = new QTimer(this);
    reviewDayTimer_->setObjectName("timerReviewDay");
    reviewDayTimer_->setSingleShot(true);
    connect(reviewDayTimer_, &QTimer::timeout, this, [this] {
        readReviewCount();
        followReviewDay();
    });
    followReviewDay();
    readReviewCount();
}

void MainForm::readReviewCount()
{
    whenLatestAnswered(reviewCountReply_, record_->readReviewOverview(), this,
                       [this](const ReviewOverview& overview) { showReviewCount(overview); });
}

void MainForm::followReviewDay()
{
    // The count is today's, so it is read again just after midnight; and at
    // least every few minutes besides, as the timer stands still while the
    // machine sleeps.
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 toMidnight = now.msecsTo(now.date().addDays(1).startOfDay()) + kPastMidnightMs;
    reviewDayTimer_->start(int(std::clamp<qint64>(toMidnight, kPastMidnightMs, kLongestCountAgeMs)));
}

void MainForm::exportDue(const ReviewQueue& queue)
{
    if (queue.isEmpty()) {
        platform_.messageBoxes->inform("今天没有要复习的句子。");
        return;
    }
    QVector<SentenceKey> due;
    for (const ReviewItem& item : queue)
        due.append(item.sentence);
    ankiExports_->exportRecordedSentences(due, "今天要复习的句子",
                                          "Lexbay 复习 " + QDate::currentDate().toString("yyyy-MM-dd"));
}

void MainForm::showReviewCount(const ReviewOverview& overview)
{
    QString caption = "今日复习";
    if (!overview.dueByDay.isEmpty())
        caption += QString(" (%1)").arg(std::min(overview.dueByDay[0], dailyReviews_));
    Module1::SetToolbarButtonCaption(Toolbar1, "btReview", caption);
}

void MainForm::btReview_click()
{
    whenLatestAnswered(reviewQueueReply_, record_->readReviewQueue(dailyReviews_), reviewForm_,
                       [this](const ReviewQueue& queue) {
        // A review window closed while its queue was read starts nothing.
        if (reviewForm_->isVisible())
            reviewForm_->start(queue, {playback_->speedPercent(), piSpell->options().lenient,
                                       session_->chineseChosen()});
    });
    reviewForm_->show();
    reviewForm_->raise();
    reviewForm_->activateWindow();
}
