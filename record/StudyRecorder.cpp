#include "record/StudyRecorder.h"

#include "record/HardSentences.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "study/ComparisonMode.h"
#include "study/DictationMode.h"
#include "study/DictationText.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <algorithm>

namespace {

QString hashOf(const QString& english)
{
    return QString::fromLatin1(QCryptographicHash::hash(english.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

}  // namespace

StudyRecorder::StudyRecorder(StudyRecord& record, const StudySession& session, const SentencePlayback& playback,
                             const DictationMode& dictation, const ComparisonMode& comparison, QObject* parent)
    : QObject(parent), record_(record), session_(session), playback_(playback)
{
    connect(&session, &StudySession::lessonStarted, this, &StudyRecorder::lessonStarted);
    connect(&playback, &SentencePlayback::sentenceStarted, this, [this](int n) {
        RecordEvent event;
        event.mode = session_.status();
        event.speedPercent = playback_.speedPercent();
        keep(RecordEvent::Play, n, event);
    });
    connect(&dictation, &DictationMode::answerChecked, this, &StudyRecorder::answerChecked);
    connect(&comparison, &ComparisonMode::takeRecorded, this, [this](int n) { keep(RecordEvent::TakeRecorded, n); });
    connect(&comparison, &ComparisonMode::takePlayed, this, [this](int n) { keep(RecordEvent::TakePlayed, n); });
}

void StudyRecorder::lessonStarted()
{
    const LessonName& name = session_.lessonName();
    const int count = session_.sentenceCount();
    sentences_.clear();
    QStringList hashes;
    for (int n = 0; n < count; ++n) {
        const QString english = plainText(session_.englishElement(n)).trimmed();
        sentences_.append({name.volume, name.title, n, hashOf(english), english,
                           plainText(session_.chineseElement(n)).trimmed()});
        hashes << sentences_.last().textHash;
    }
    history_ = AnswerHistory(count);
    answersSinceRead_.clear();
    // The history of a lesson left before it came is not this lesson's.
    dropAnswer(historyReply_);
    historyReply_ = {};
    if (name.title.isEmpty())
        return;
    RecordEvent load;
    load.kind = RecordEvent::LessonLoad;
    load.at = QDateTime::currentMSecsSinceEpoch();
    load.sentence.volume = name.volume;
    load.sentence.lesson = name.title;
    load.sentenceCount = count;
    record_.add(load);
    record_.lessonTexts(name.volume, name.title, hashes);
    whenLatestAnswered(historyReply_, record_.readHistory(name.volume, name.title, hashes), this, [this](const AnswerHistory& history) {
        history_ = history;
        for (const auto& [n, right] : answersSinceRead_) {
            if (n < history_.size())
                history_[n].append(right);
        }
        answersSinceRead_.clear();
    });
}

void StudyRecorder::keep(RecordEvent::Kind kind, int sentence, RecordEvent event)
{
    if (sentence < 0 || sentence >= sentences_.size())
        return;
    event.kind = kind;
    event.at = QDateTime::currentMSecsSinceEpoch();
    event.sentence = sentences_[sentence];
    // The Chinese line is on the page only while it shows; take it when it does.
    if (event.sentence.chinese.isEmpty())
        sentences_[sentence].chinese = event.sentence.chinese =
            plainText(session_.chineseElement(sentence)).trimmed();
    record_.add(event);
}

void StudyRecorder::answerChecked(int n, bool right, int firstWrong, bool englishHint, bool chineseHint)
{
    RecordEvent event;
    event.right = right;
    event.firstWrong = firstWrong;
    event.englishHint = englishHint;
    event.chineseHint = chineseHint;
    keep(RecordEvent::DictationAnswer, n, event);
    if (n < 0 || n >= history_.size())
        return;
    emit sentenceGraded(n);
    history_[n].append(right);
    if (!historyReply_.isFinished())
        answersSinceRead_.append({n, right});
}

void StudyRecorder::takeScored(int n, int similarity)
{
    RecordEvent event;
    event.similarity = std::clamp(similarity, 0, 100);
    keep(RecordEvent::TakeScored, n, event);
    if (n >= 0 && n < sentences_.size())
        emit sentenceGraded(n);
}

std::vector<int> StudyRecorder::hardSentences() const { return ::hardSentences(history_); }
