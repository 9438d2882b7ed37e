#include "shell/review/ReviewFeature.h"

#include "dictionary/Dictionary.h"
#include "dictionary/EntryText.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "review/Fsrs.h"
#include "shell/Platform.h"
#include "shell/review/ReviewForm.h"
#include "shell/review/ReviewSentences.h"
#include "shell/window/Commands.h"
#include "shell/window/Settings.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <QAction>
#include <QDateTime>
#include <QTimer>

#include <algorithm>

namespace {

const char* const kRetentionKey = "DesiredRetention";
constexpr int kDefaultRetentionPercent = fsrs::Scheduler::kDefaultRetentionPercent;
// How long after midnight the count is read again, and the longest it goes unread.
constexpr qint64 kPastMidnightMs = 1000;
constexpr qint64 kLongestCountAgeMs = 10 * 60 * 1000;

}  // namespace

ReviewFeature::ReviewFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("reviewFeature");
    command_ = context_.commands.add("btReview", "今日复习", [this] { btReview_click(); }, this);
    Platform& platform = context_.platform;
    sentences_ = std::make_unique<ReviewSentences>(*platform.library,
                                                   QStringList{platform.shippedBooks, platform.ownBooks});
    form_ = new ReviewForm(platform.reviewPlayer.get(), platform.reviewFrames, *sentences_, *platform.library,
                           [this](const QString& word) { return meaningOf(word); }, &context_.window);
    restoreSettings();
    connectForm();
    connect(&context_.recorder, &StudyRecorder::sentenceGraded, this, &ReviewFeature::readReviewCount);
    dayTimer_ = new QTimer(&context_.window);
    dayTimer_->setObjectName("timerReviewDay");
    dayTimer_->setSingleShot(true);
    connect(dayTimer_, &QTimer::timeout, this, [this] {
        readReviewCount();
        followReviewDay();
    });
    followReviewDay();
    readReviewCount();
}

ReviewFeature::~ReviewFeature() = default;

void ReviewFeature::restoreSettings()
{
    const int retention = std::clamp(context_.settings.number(kRetentionKey, kDefaultRetentionPercent),
                                     fsrs::Scheduler::kMinRetentionPercent, fsrs::Scheduler::kMaxRetentionPercent);
    dailyReviews_ = dailyReviewLimit(context_.settings.number(kDailyReviewsKey, kDefaultDailyReviews));
    context_.record.setDesiredRetention(retention / 100.0);
    form_->showSettings(retention, dailyReviews_);
}

void ReviewFeature::connectForm()
{
    connect(form_, &ReviewForm::graded, this,
            [this](const SentenceKey& sentence, int grade) { writeGrade(sentence, {}, grade); });
    connect(form_, &ReviewForm::wordGraded, this,
            [this](const QString& word, int grade) { writeGrade({}, word, grade); });
    connect(form_, &ReviewForm::sessionEnded, this, [this] {
        readReviewCount();
        whenLatestAnswered(endReply_, context_.record.readReviewOverview(), form_,
                           [form = form_](const ReviewOverview& overview) { form->showNextDue(overview); });
    });
    connect(form_, &ReviewForm::retentionChanged, this, [this](int percent) {
        context_.settings.setNumberOnceUsed(kRetentionKey, percent, kDefaultRetentionPercent);
        context_.record.setDesiredRetention(percent / 100.0);
    });
    connect(form_, &ReviewForm::dailyLimitChanged, this, [this](int limit) {
        context_.settings.setNumberOnceUsed(kDailyReviewsKey, limit, kDefaultDailyReviews);
        dailyReviews_ = limit;
        readReviewCount();
    });
}

void ReviewFeature::writeGrade(const SentenceKey& sentence, const QString& word, int grade)
{
    RecordEvent event;
    event.kind = RecordEvent::Reviewed;
    event.at = QDateTime::currentMSecsSinceEpoch();
    event.sentence = sentence;
    event.word = word;
    event.grade = grade;
    context_.record.add(event);
    readReviewCount();
}

QString ReviewFeature::meaningOf(const QString& word)
{
    if (!dictionary_)
        dictionary_ = std::make_unique<Dictionary>(context_.platform.dictionaryFile);
    const DictionaryEntry entry = dictionary_->entry(word);
    if (entry.word.isEmpty())
        return notFoundText(dictionary_->lookup(word));
    QStringList lines;
    if (!entry.phonetic.isEmpty())
        lines << "/" + entry.phonetic + "/";
    lines << entry.meanings;
    if (const QString marks = entryMarks(entry); !marks.isEmpty())
        lines << marks;
    return lines.join('\n');
}

void ReviewFeature::readReviewCount()
{
    whenLatestAnswered(countReply_, context_.record.readReviewOverview(), this,
                       [this](const ReviewOverview& overview) { showReviewCount(overview); });
}

void ReviewFeature::followReviewDay()
{
    // The count is today's, so it is read again just after midnight; and at
    // least every few minutes besides, as the timer stands still while the
    // machine sleeps.
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 toMidnight = now.msecsTo(now.date().addDays(1).startOfDay()) + kPastMidnightMs;
    dayTimer_->start(int(std::clamp<qint64>(toMidnight, kPastMidnightMs, kLongestCountAgeMs)));
}

void ReviewFeature::showReviewCount(const ReviewOverview& overview)
{
    QString caption = "今日复习";
    if (!overview.dueByDay.isEmpty())
        caption += QString(" (%1)").arg(std::min(overview.dueByDay[0], dailyReviews_));
    command_->setText(caption);
}

void ReviewFeature::btReview_click()
{
    whenLatestAnswered(queueReply_, context_.record.readReviewQueue(dailyReviews_), form_,
                       [this](const ReviewQueue& queue) {
        // A review window closed while its queue was read starts nothing.
        if (form_->isVisible())
            form_->start(queue, {context_.playback.speedPercent(), context_.lenientDictation(),
                                 context_.session.chineseChosen()});
    });
    form_->show();
    form_->raise();
    form_->activateWindow();
}
