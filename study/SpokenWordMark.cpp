#include "study/SpokenWordMark.h"

#include "platform/web/HtmlView.h"
#include "study/DictationText.h"
#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <algorithm>
#include <cmath>

namespace {

// The position is read again at the next word's start or end, and at least
// this often, so a position read before a seek took effect is soon mended.
constexpr double kLongestWaitMs = 100;

// The word spoken at `seconds`, or -1 between words and outside them.
int wordAt(const WordTimes& words, double seconds)
{
    const auto after = std::upper_bound(words.cbegin(), words.cend(), seconds,
                                        [](double at, const WordTime& word) { return at < word.start; });
    if (after == words.cbegin())
        return -1;
    const auto word = after - 1;
    return seconds < word->end ? int(word - words.cbegin()) : -1;
}

// When, in the recording, the next word after `seconds` starts or the one
// spoken then ends; a negative number when no word is left.
double nextChange(const WordTimes& words, double seconds)
{
    const int spoken = wordAt(words, seconds);
    if (spoken >= 0)
        return words.at(spoken).end;
    const auto next = std::upper_bound(words.cbegin(), words.cend(), seconds,
                                       [](double at, const WordTime& word) { return at < word.start; });
    return next == words.cend() ? -1 : next->start;
}

}  // namespace

SpokenWordMark::SpokenWordMark(const StudySession& session, const SentencePlayback& playback, QObject* parent)
    : QObject(parent), session_(session), playback_(playback)
{
    tick_.setSingleShot(true);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &SpokenWordMark::follow);
    connect(&playback_, &SentencePlayback::sentenceStarted, this, &SpokenWordMark::sentenceStarted);
    connect(&playback_, &SentencePlayback::rangeEnded, this, &SpokenWordMark::end);
    connect(&playback_, &SentencePlayback::stopped, this, &SpokenWordMark::end);
    // A new page has no mark; the old one is gone with its marks.
    connect(&session_, &StudySession::lessonStarted, this, [this] {
        tick_.stop();
        sentence_ = -1;
        marked_ = -1;
    });
}

void SpokenWordMark::sentenceStarted(int n)
{
    end();
    if (session_.wordTimes(n).isEmpty())
        return;
    sentence_ = n;
    textStart_ = leadingBlanks(plainText(session_.englishElement(n)));
    follow();
}

void SpokenWordMark::follow()
{
    const WordTimes words = session_.wordTimes(sentence_);
    const double at = playback_.position();
    const HtmlElement* english = session_.englishElement(sentence_);
    const bool hidden = english == nullptr || english->styleColor() == kColourHidden;
    mark(hidden ? -1 : wordAt(words, at));
    const double change = nextChange(words, at);
    const double untilChangeMs = (change - at) * 1000 / std::max(0.1, playback_.rangeRate());
    tick_.start(int(std::ceil(std::clamp(change < 0 ? kLongestWaitMs : untilChangeMs, 1.0, kLongestWaitMs))));
}

void SpokenWordMark::end()
{
    tick_.stop();
    mark(-1);
    sentence_ = -1;
}

void SpokenWordMark::mark(int word)
{
    if (word == marked_)
        return;
    marked_ = word;
    HtmlDocument* page = session_.page();
    if (page == nullptr)
        return;
    if (word < 0) {
        page->markText(nullptr, 0, 0);
        return;
    }
    const WordTime spoken = session_.wordTimes(sentence_).at(word);
    page->markText(session_.englishElement(sentence_), textStart_ + spoken.from, spoken.length);
}
