#include "ownlessons/SentenceWords.h"

#include "platform/analysis/MelCepstrum.h"
#include "platform/pronunciation/SpokenWords.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

// How far before where the first pass put a sentence its window reaches
// when not chained to the sentence before, and how far beyond its end
// (frames); the neighbours' words are all in the grammar. A window with no
// way through is tried once more, reaching kWideReach further.
constexpr int kReach = 150;
constexpr int kEndReach = 20;
constexpr int kWideReach = 300;
// A window chained to the sentence before starts at its last word.
constexpr int kChainedWords = 1;
// The stretch whose goodness verifies a sentence: its first words, up to
// this many frames; and its first two words on their own.
constexpr int kCheckedFrames = 60;
// Goodness per frame. A well-read sentence in its place scores about −5 to
// +5 in a human voice, down to −20 in a synthetic one; one forced onto
// other speech or a pause −20 and below. Its first two words decide its
// start and may score a little lower.
constexpr double kVerifiedFrom = -12;
constexpr double kFirstWordsFrom = -15;
// Found where the first pass's start lies (its first word within
// kAgreeingAfter frames after that start): two independent findings agree,
// and a sentence is verified down to kAgreeingFrom, as a voice the model
// hears poorly scores.
constexpr int kAgreeingBefore = 10;
constexpr int kAgreeingAfter = 60;
constexpr double kAgreeingFrom = -40;
// A window's end moves into the pause after it, at most this far (frames),
// so that the words in it are whole.
constexpr int kToPause = 100;
constexpr int kShortestPause = 10;
// A word holds no silence this long (frames): the model may stretch a word
// over the pause before it, and the word then begins after that silence.
// A written word said as several ("two dollars seventy five") may pause
// between them: only the first spoken word of each saying is looked at.
constexpr int kPauseInWord = 20;
// After a comma, a colon or a semicolon the reader pauses, and the model may
// stretch the word after over that pause too: a shorter silence there is
// the pause, not a stop inside the word.
constexpr int kPauseAfterMark = 8;
// Speech the level hears right before a sentence's first word belongs to
// it, this far at most (frames).
constexpr int kHeardBeforeWord = 15;
// A pause this long (frames) does not come before a sentence's last word,
// nor after its first.
constexpr int kDetachingPause = 40;
// A sentence's last word ends at most kLastWordBase frames and
// kLastWordPerLetter per written letter after it starts: where music or
// noise fills the pause after a sentence, the model stretches its last word
// over the pause, and the next start, which never comes before this
// sentence's end, would lie on that sentence's first sound.
constexpr int kLastWordBase = 30;
constexpr int kLastWordPerLetter = 10;
// A search between verified sentences looks at most this far (frames).
constexpr int kLongestSearch = 3000;
// The decoders share the text in this many pieces each, of at least
// kShortestPiece sentences: a piece's first window is not chained and is
// a little wider, and smaller pieces leave less of the text to one decoder
// at the end.
constexpr int kPiecesPerDecoder = 3;
constexpr int kShortestPiece = 8;

struct Sentence {
    std::vector<SaidWord> said;
    std::vector<FoundWord> written;
    std::vector<bool> afterMark;  // each written word: whether a comma, colon or semicolon comes before it
};

std::vector<Sentence> readSentences(const QStringList& texts)
{
    std::vector<Sentence> sentences;
    for (const QString& text : texts) {
        Sentence sentence;
        for (const SpokenToken& token : spokenTokens(text)) {
            sentence.said.push_back(token.sayings);
            sentence.written.push_back({token.from, token.length, -1, -1});
            int before = token.from - 1;
            while (before >= 0 && text.at(before).isSpace())
                --before;
            sentence.afterMark.push_back(before >= 0 && QStringLiteral(",;:").contains(text.at(before)));
        }
        sentences.push_back(std::move(sentence));
    }
    return sentences;
}

std::vector<SaidWord> lastOf(const std::vector<SaidWord>& words, int count)
{
    return {words.end() - std::min<long>(count, long(words.size())), words.end()};
}

class Finder {
public:
    Finder(const std::vector<Sentence>& sentences, const ModelFrames& frames, const std::vector<RoughPlace>& rough,
           const std::vector<bool>& speech)
        : sentences_(sentences), frames_(frames), rough_(rough), speech_(speech), found_(sentences.size()),
          freelySearched_(sentences.size(), {0, 0})
    {
        for (size_t k = 0; k < sentences.size(); ++k)
            found_[k].words = sentences[k].written;
    }

    // The sentences [first, last) in order, each window chained to the end
    // of the one before when that was verified.
    void findRun(WordAligner& aligner, int first, int last, const std::function<void()>& done,
                 const std::atomic_bool* cancel)
    {
        for (int k = first; k < last && !(cancel && *cancel); ++k) {
            const bool chained = k > first && found_[size_t(k - 1)].verified;
            WordGrammar grammar;
            int from = rough_[size_t(k)].from - kReach;
            if (k > 0) {
                grammar.before = chained ? lastOf(sentences_[size_t(k - 1)].said, kChainedWords)
                                         : sentences_[size_t(k - 1)].said;
                // A verified sentence's last word is there: the window begins with it.
                grammar.wholeBefore = chained;
                if (chained)
                    from = chainedFrom(found_[size_t(k - 1)]);
            }
            if (size_t(k + 1) < sentences_.size())
                grammar.after = sentences_[size_t(k + 1)].said;
            grammar.words = sentences_[size_t(k)].said;
            grammar.freeEdges = k == 0 || size_t(k + 1) == sentences_.size();
            if (!chained)
                from = pauseAround(from, -1);
            const int to = pauseAround(rough_[size_t(k)].to + kEndReach, +1);
            // A wider window, and free phones, which cost as much again, only where the words
            // alone found no way through.
            if (grammar.freeEdges)
                freelySearched_[size_t(k)] = {from, to};
            if (!place(aligner, k, from, to, grammar)) {
                grammar.freeEdges = true;
                const int wideTo = pauseAround(to + kWideReach, +1);
                freelySearched_[size_t(k)] = {from, wideTo};
                place(aligner, k, from, wideTo, grammar);
            }
            done();
        }
    }

    // The runs of unverified sentences, [first, last) each. Verified
    // sentences part them, so each run can be searched for on its own.
    std::vector<std::pair<int, int>> unverifiedRuns() const
    {
        std::vector<std::pair<int, int>> runs;
        const int count = int(found_.size());
        for (int k = 0; k < count; ++k) {
            if (found_[size_t(k)].verified)
                continue;
            int last = k;
            while (last < count && !found_[size_t(last)].verified)
                ++last;
            runs.push_back({k, last});
            k = last;
        }
        return runs;
    }

    // A run of unverified sentences searched for again between the
    // verified sentences around it, in order.
    void searchAgain(WordAligner& aligner, int first, int last, const std::atomic_bool* cancel)
    {
        const int count = int(found_.size());
        for (int k = first; k < last && !(cancel && *cancel); ++k) {
            if (found_[size_t(k)].verified)
                continue;
            int from = 0;
            for (int b = k - 1; b >= 0; --b)
                if (found_[size_t(b)].verified) {
                    from = found_[size_t(b)].endFrame();
                    break;
                }
            int to = frames_.frames();
            for (int a = k + 1; a < count; ++a)
                if (found_[size_t(a)].verified) {
                    to = found_[size_t(a)].firstFrame();
                    break;
                }
            from = std::max(from, rough_[size_t(k)].from - kLongestSearch / 2);
            to = std::min(to, std::max(from, rough_[size_t(k)].to) + kLongestSearch / 2);
            // A decoding with free phones (and the neighbours' words besides) already
            // covered this whole window: searching it again would only repeat that.
            const auto [searchedFrom, searchedTo] = freelySearched_[size_t(k)];
            if (searchedFrom < searchedTo && searchedFrom <= from && to <= searchedTo)
                continue;
            WordGrammar grammar;
            grammar.words = sentences_[size_t(k)].said;
            grammar.freeEdges = true;
            place(aligner, k, from, to, grammar);
        }
    }

    // What was found, each sentence's first word beginning where the level
    // first hears it. Only the starts given out move: the windows and
    // verdicts of the search are the model's own.
    std::vector<FoundSentence> result()
    {
        for (size_t k = 0; k < found_.size(); ++k) {
            FoundSentence& found = found_[k];
            startFirstWordAtItsSound(&found.words, speech_);
            endLastWordWithItsSound(&found.words);
        }
        return std::move(found_);
    }

private:
    // The middle of the pause nearest `frame` in `direction` (within
    // kToPause), or the frame itself when there is none.
    int pauseAround(int frame, int direction) const
    {
        const int count = int(speech_.size());
        frame = std::clamp(frame, 0, std::max(0, count - 1));
        int run = 0;
        for (int t = frame, moved = 0; t >= 0 && t < count && moved < kToPause; t += direction, ++moved) {
            run = speech_[size_t(t)] ? 0 : run + 1;
            if (run >= kShortestPause)
                return t - direction * (kShortestPause / 2);
        }
        return frame;
    }

    // A word's start moved past the last long silence before frame
    // `searchEnd`, where its last saying's first spoken word ends.
    void startAfterSilence(FoundWord* word, int searchEnd, int longest) const
    {
        int run = 0;
        for (int t = word->startFrame; t >= 0 && t < searchEnd && t < int(speech_.size()); ++t) {
            run = speech_[size_t(t)] ? 0 : run + 1;
            if (run >= longest && t + 1 < searchEnd && speech_[size_t(t + 1)])
                word->startFrame = t + 1;
        }
    }

    static void endLastWordWithItsSound(std::vector<FoundWord>* words)
    {
        const auto last = std::find_if(words->rbegin(), words->rend(), [](const FoundWord& w) { return w.startFrame >= 0; });
        if (last != words->rend())
            last->endFrame = std::min(last->endFrame, last->startFrame + kLastWordBase + kLastWordPerLetter * last->length);
    }

    // A last word found beyond a long pause after the rest of its sentence
    // is taken as not found: the model may put a last word it hears poorly
    // across the pause, onto the next sentence's first sound, and the next
    // start, which never comes before this sentence's end, would be late.
    void dropDetachedEnd(std::vector<FoundWord>* words) const
    {
        auto last = std::find_if(words->rbegin(), words->rend(), [](const FoundWord& w) { return w.startFrame >= 0; });
        if (last == words->rend())
            return;
        const auto before = std::find_if(last + 1, words->rend(), [](const FoundWord& w) { return w.startFrame >= 0; });
        if (before == words->rend())
            return;
        if (pauseDetaches(before->endFrame, last->startFrame))
            last->startFrame = last->endFrame = -1;
    }

    // Whether a sentence's first word was found beyond a long pause before
    // the rest of it: the model may put a first word it hears poorly onto
    // the last sound of the sentence before, and the sentence would then
    // start inside that sentence. Such a finding is not verified, so the
    // sentence is searched for again after its verified neighbour.
    bool firstWordDetached(const std::vector<FoundWord>& words) const
    {
        const auto found = [](const FoundWord& w) { return w.startFrame >= 0; };
        const auto first = std::find_if(words.begin(), words.end(), found);
        if (first == words.end())
            return false;
        const auto next = std::find_if(first + 1, words.end(), found);
        if (next == words.end())
            return false;
        return pauseDetaches(first->endFrame, next->startFrame);
    }

    // Whether frames [from, to) hold a run of silence of kDetachingPause
    // frames or more.
    bool pauseDetaches(int from, int to) const
    {
        int run = 0;
        for (int t = std::max(0, from); t < to && t < int(speech_.size()); ++t) {
            run = speech_[size_t(t)] ? 0 : run + 1;
            if (run >= kDetachingPause)
                return true;
        }
        return false;
    }

    // Where a window chained to a verified sentence starts: at its last words.
    static int chainedFrom(const FoundSentence& before)
    {
        int from = before.endFrame();
        int seen = 0;
        for (auto w = before.words.rbegin(); w != before.words.rend() && seen < kChainedWords; ++w)
            if (w->startFrame >= 0) {
                from = w->startFrame;
                ++seen;
            }
        return from - 5;
    }

    // Decodes sentence k in [from, to) and keeps what was found if it is
    // verified, or if nothing verified was found for it before; false when
    // the grammar found no way through the window.
    bool place(WordAligner& aligner, int k, int from, int to, const WordGrammar& grammar)
    {
        const WordDecoding decoding = aligner.decodeWords(frames_, from, to, grammar);
        if (!decoding.complete)
            return false;
        FoundSentence found;
        found.words = sentences_[size_t(k)].written;
        // Every spoken word of a written word's saying is that written
        // word: it spans them all, from the first one's start.
        std::vector<int> silenceSearchEnds(found.words.size(), -1);
        std::vector<const AlignedWord*> mine;
        for (const AlignedWord& word : decoding.words) {
            if (word.part != AlignedWord::Word)
                continue;
            FoundWord& written = found.words[size_t(word.index)];
            // A word said twice keeps its first saying's start.
            if (written.startFrame < 0)
                written.startFrame = word.startFrame;
            written.endFrame = word.endFrame + 1;
            if (word.beginsSaying)
                silenceSearchEnds[size_t(word.index)] = written.endFrame;
            mine.push_back(&word);
        }
        if (mine.empty())
            return false;
        for (size_t w = 0; w < found.words.size(); ++w)
            startAfterSilence(&found.words[w], silenceSearchEnds[w],
                              sentences_[size_t(k)].afterMark[w] ? kPauseAfterMark : kPauseInWord);
        dropDetachedEnd(&found.words);
        judge(aligner, mine, &found);
        const int firstPassStart = rough_[size_t(k)].start;
        found.agrees = found.firstFrame() >= firstPassStart - kAgreeingBefore
                       && found.firstFrame() <= firstPassStart + kAgreeingAfter;
        found.verified = isVerified(found) && !firstWordDetached(found.words);
        FoundSentence& kept = found_[size_t(k)];
        if (found.verified || (!kept.verified && kept.firstFrame() < 0))
            kept = std::move(found);
        return true;
    }

    // The goodness of the words found, over their first stretch and over their first two words.
    void judge(WordAligner& aligner, const std::vector<const AlignedWord*>& words, FoundSentence* found)
    {
        const int first = words.front()->scoredStart;
        const int checkedTo = std::min(words.back()->scoredEnd, first + kCheckedFrames);
        const std::vector<DecodedSegment> phones = aligner.decodePhones(frames_, first - 5, checkedTo + 6);
        double score = 0, firstScore = 0;
        int frames = 0, firstFrames = 0;
        int seenWords = 0;
        int lastIndex = -1;
        for (const AlignedWord* word : words) {
            if (word->scoredStart > checkedTo)
                break;
            const int length = word->scoredEnd - word->scoredStart + 1;
            const double goodness = word->acousticScore - phoneScoreOver(phones, word->scoredStart, word->scoredEnd);
            score += goodness;
            frames += length;
            if (word->index != lastIndex) {
                ++seenWords;
                lastIndex = word->index;
            }
            if (seenWords <= 2) {
                firstScore += goodness;
                firstFrames += length;
            }
        }
        found->goodness = score / std::max(1, frames);
        found->firstGoodness = firstScore / std::max(1, firstFrames);
    }

    bool isVerified(const FoundSentence& found) const
    {
        if (found.firstFrame() < 0)
            return false;
        if (found.agrees)
            return found.goodness >= kAgreeingFrom && found.firstGoodness >= kAgreeingFrom;
        return found.goodness >= kVerifiedFrom && found.firstGoodness >= kFirstWordsFrom;
    }

    const std::vector<Sentence>& sentences_;
    const ModelFrames& frames_;
    const std::vector<RoughPlace>& rough_;
    const std::vector<bool>& speech_;
    std::vector<FoundSentence> found_;
    // Each sentence's window that a decoding with free phones at its edges
    // covered, empty when none did.
    std::vector<std::pair<int, int>> freelySearched_;
};

// `work` on every decoder at once, the first on this thread.
void onEachDecoder(const std::vector<WordAligner*>& aligners, const std::function<void(WordAligner&)>& work)
{
    std::vector<std::thread> others;
    for (size_t i = 1; i < aligners.size(); ++i)
        others.emplace_back([&work, aligner = aligners[i]] { work(*aligner); });
    work(*aligners.front());
    for (std::thread& other : others)
        other.join();
}

}  // namespace

int FoundSentence::firstFrame() const
{
    for (const FoundWord& word : words)
        if (word.startFrame >= 0)
            return word.startFrame;
    return -1;
}

int FoundSentence::endFrame() const
{
    for (auto word = words.rbegin(); word != words.rend(); ++word)
        if (word->endFrame >= 0)
            return word->endFrame;
    return -1;
}

void startFirstWordAtItsSound(std::vector<FoundWord>* words, const std::vector<bool>& speech)
{
    const auto first = std::find_if(words->begin(), words->end(), [](const FoundWord& w) { return w.startFrame >= 0; });
    if (first == words->end())
        return;
    const int earliest = std::max(0, first->startFrame - kHeardBeforeWord);
    while (first->startFrame - 1 >= earliest && first->startFrame - 1 < int(speech.size())
           && speech[size_t(first->startFrame - 1)])
        --first->startFrame;
}

std::vector<FoundSentence> findSentenceWords(const QStringList& texts, const ModelFrames& frames,
                                             const std::vector<RoughPlace>& rough, const std::vector<bool>& speech,
                                             const std::vector<WordAligner*>& aligners,
                                             const std::function<void(int)>& progress,
                                             const std::atomic_bool* cancel)
{
    const std::vector<Sentence> sentences = readSentences(texts);
    Finder finder(sentences, frames, rough, speech);
    const int count = int(sentences.size());
    std::mutex reporting;
    int done = 0;
    const auto oneDone = [&] {
        std::lock_guard lock(reporting);
        ++done;
        if (progress)
            progress(done);
    };
    if (aligners.empty())
        return finder.result();
    // The text in pieces, each begun unchained, which the decoders take in
    // turn so that none waits while another still has sentences ahead.
    const int pieces = std::clamp(kPiecesPerDecoder * int(aligners.size()), 1, std::max(1, count / kShortestPiece));
    std::atomic_int nextPiece{0};
    const auto findPieces = [&](WordAligner& aligner) {
        for (int p = nextPiece++; p < pieces; p = nextPiece++)
            finder.findRun(aligner, count * p / pieces, count * (p + 1) / pieces, oneDone, cancel);
    };
    onEachDecoder(aligners, findPieces);
    // The unverified runs likewise: the verified sentences between them do not move.
    const std::vector<std::pair<int, int>> runs = finder.unverifiedRuns();
    std::atomic_int nextRun{0};
    onEachDecoder(aligners, [&](WordAligner& aligner) {
        for (size_t r = size_t(nextRun++); r < runs.size(); r = size_t(nextRun++))
            finder.searchAgain(aligner, runs[r].first, runs[r].second, cancel);
    });
    return finder.result();
}

WordTimes wordTimesOf(const FoundSentence& found, int offsetFrames)
{
    WordTimes times;
    int previousEnd = found.firstFrame();
    const std::vector<FoundWord>& words = found.words;
    for (size_t w = 0; w < words.size(); ++w) {
        int start = words[w].startFrame, end = words[w].endFrame;
        if (start < 0) {
            start = previousEnd;
            end = start;
            for (size_t n = w + 1; n < words.size() && end == start; ++n)
                if (words[n].startFrame >= 0)
                    end = words[n].startFrame;
        }
        times << WordTime{words[w].from, words[w].length, (offsetFrames + start) * kFrameSeconds,
                          (offsetFrames + end) * kFrameSeconds};
        previousEnd = end;
    }
    return times;
}

WordPronunciations pronunciationsOfSentences(const QStringList& sentences)
{
    QStringList spoken;
    for (const QString& sentence : sentences)
        for (const SpokenToken& token : spokenTokens(sentence))
            for (const QString& saying : token.sayings)
                spoken << saying.split(' ', Qt::SkipEmptyParts);
    return pronunciationsOf(spoken);
}
