#include "platform/pronunciation/PronunciationScore.h"

#include "platform/analysis/AudioDecoding.h"
#include "platform/pronunciation/AcousticModel.h"
#include "platform/pronunciation/EspeakPronunciation.h"
#include "platform/pronunciation/SpokenWords.h"
#include "platform/pronunciation/WordAligner.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Goodness (the decoder's acoustic score per 10 ms frame, the word's own
// phones less the free phones) at the borders of the classes, set on careful
// human readings of the right sentence and on readings of other sentences.
// The word's phones are context-dependent and the free ones are not, so a
// well-said word often scores above 0.
constexpr double kGoodFrom = -5;
constexpr double kDoubtfulFrom = -10;
// Below this the word's frames hold other sounds: the word was not said.
constexpr double kFoundFrom = -16;
// A word's 0–100 falls linearly from kFullMarks to kNoMarks.
constexpr double kFullMarks = -2;
constexpr double kNoMarks = -16;

constexpr int kFrameSamples = kAnalysisRate / 100;
// A take holds a voice when this many 10 ms frames rise above kVoiceLevel.
constexpr int kFewestVoicedFrames = 15;
constexpr double kVoiceLevel = 0.01;

bool holdsVoice(const std::vector<float>& samples)
{
    int loud = 0;
    for (size_t start = 0; start + kFrameSamples <= samples.size(); start += kFrameSamples) {
        double energy = 0;
        for (int i = 0; i < kFrameSamples; ++i)
            energy += double(samples[start + i]) * samples[start + i];
        if (std::sqrt(energy / kFrameSamples) > kVoiceLevel)
            ++loud;
    }
    return loud >= kFewestVoicedFrames;
}

std::vector<short> toPcm(const std::vector<float>& samples)
{
    std::vector<short> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(),
                   [](float s) { return short(std::lround(std::clamp(s, -1.f, 1.f) * 32767)); });
    return pcm;
}

WordQuality qualityOf(double goodness)
{
    if (goodness >= kGoodFrom)
        return WordQuality::Good;
    if (goodness >= kDoubtfulFrom)
        return WordQuality::Doubtful;
    if (goodness >= kFoundFrom)
        return WordQuality::Poor;
    return WordQuality::Missing;
}

double marksFor(double goodness)
{
    return 100 * std::clamp((goodness - kNoMarks) / (kFullMarks - kNoMarks), 0.0, 1.0);
}

// Gives each of the sentence's words the frames the grammar decoding found
// for it. A word said twice keeps its better saying.
void placeWords(const Decoding& words, const Decoding& phones, std::vector<WordPronunciation>& sentence)
{
    size_t next = 0;
    std::vector<bool> placed(sentence.size(), false);
    for (const DecodedSegment& segment : words.segments) {
        size_t at;
        if (next < sentence.size() && segment.label == sentence[next].word)
            at = next++;
        else if (next > 0 && segment.label == sentence[next - 1].word)
            at = next - 1;
        else
            continue;  // a pause or a breath
        const double goodness =
            (segment.acousticScore - phoneScoreOver(phones.segments, segment.startFrame, segment.endFrame)) /
            segment.frames();
        WordPronunciation& word = sentence[at];
        if (placed[at] && goodness <= word.goodness)
            continue;
        placed[at] = true;
        word.goodness = goodness;
        word.quality = qualityOf(goodness);
        word.startFrame = segment.startFrame;
        word.endFrame = segment.endFrame;
    }
}

// 发音 over all the sentence's words, one not said counting 0, so that
// the few words of another sentence that happen to fit do not score as a
// good reading; the poorest word among all the take placed, found or not,
// so that a word said as another is the one named.
void summarise(PronunciationScore& score)
{
    double marks = 0;
    int found = 0;
    const WordPronunciation* poorest = nullptr;
    for (const WordPronunciation& word : score.words) {
        if (word.startFrame < 0)
            continue;
        if (!poorest || word.goodness < poorest->goodness)
            poorest = &word;
        if (word.quality == WordQuality::Missing)
            continue;
        ++found;
        marks += marksFor(word.goodness);
    }
    score.completeness = int(std::lround(100.0 * found / score.words.size()));
    score.pronunciation = int(std::lround(marks / score.words.size()));
    if (poorest)
        score.poorestWord = poorest->word;
}

PronunciationScore unscored(const QString& why)
{
    PronunciationScore score;
    score.message = why;
    return score;
}

}  // namespace

bool pronunciationScoringAvailable()
{
    return AcousticModel::shared() != nullptr;
}

QString pronunciationUnavailableReason()
{
    return AcousticModel::unavailableReason();
}

PronunciationScore scorePronunciation(const QString& takeFile, const QString& sentenceText)
{
    if (!pronunciationScoringAvailable())
        return unscored(pronunciationUnavailableReason());
    const DecodedAudio take = decodeAudio(takeFile);
    if (!take.ok())
        return unscored(take.error);
    return scorePronunciationOfSamples(take.samples, sentenceText);
}

PronunciationScore scorePronunciationOfSamples(const std::vector<float>& samples, const QString& sentenceText)
{
    AcousticModel* model = AcousticModel::shared();
    if (!model)
        return unscored(pronunciationUnavailableReason());
    QStringList words;
    for (const QString& word : spokenWords(sentenceText)) {
        if (model->ensureWord(word, model->knowsWord(word) ? QString() : espeakPronunciation(word)))
            words << word;
    }
    if (words.isEmpty())
        return unscored(QStringLiteral("句子里没有可以评分的英语单词"));
    if (!holdsVoice(samples))
        return unscored(QStringLiteral("没有录到声音"));
    const std::vector<short> pcm = toPcm(samples);
    // A take that does not hold the whole sentence leaves the strict grammar
    // without an end: then each word may be left out.
    Decoding spoken = model->decodeWords(pcm, words, false);
    if (spoken.error.isEmpty() && spoken.segments.empty())
        spoken = model->decodeWords(pcm, words, true);
    const Decoding phones = model->decodePhones(pcm);
    if (!spoken.error.isEmpty() || !phones.error.isEmpty())
        return unscored(spoken.error.isEmpty() ? phones.error : spoken.error);
    PronunciationScore score;
    score.takeHasVoice = true;
    for (const QString& word : words)
        score.words.push_back({word, WordQuality::Missing, 0, -1, -1});
    placeWords(spoken, phones, score.words);
    summarise(score);
    score.scored = true;
    return score;
}
