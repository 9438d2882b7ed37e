#include "ownlessons/SentenceAligner.h"

#include "ownlessons/BandedWarping.h"
#include "ownlessons/SentencePauses.h"
#include "ownlessons/SentenceStarts.h"
#include "ownlessons/SentenceWords.h"
#include "platform/pronunciation/WordAligner.h"
#include "platform/speech/SpeechSynthesis.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>
#include <numeric>

namespace {

// The reference voice and pace: near a reader's, so the band stays narrow.
const char* const kReferenceVoice = "en-us";
constexpr int kReferenceWordsPerMinute = 165;
constexpr int kSentencesSpokenAtOnce = 10;
constexpr double kFrameSeconds = 0.01;
// The coarse pass looks at 0.2 s frames in a band around the straight line
// through both readings' speech, the fine pass at 10 ms frames near the
// coarse path.
constexpr int kCoarseFactor = 20;
constexpr double kLeastCoarseHalfBand = 45;  // seconds
constexpr double kCoarseHalfBandShare = 0.06;
constexpr int kFineHalfBand = 100;  // frames
// A pause between sentences lasts at least this long; shorter ones are
// stops inside words.
constexpr int kShortestPause = 12;
// How far from where the warping puts a sentence's first speech the pause
// before it is looked for.
constexpr int kPauseReach = 150;
// A soft first word is looked for this far before the speech.
constexpr int kFaintReach = 60;
constexpr int kMostLeadIn = 30;  // the start lies at most 0.3 s before the speech

float percentile(std::vector<float> values, double share)
{
    if (values.empty())
        return 0;
    const size_t at = std::min(values.size() - 1, size_t(share * double(values.size())));
    std::nth_element(values.begin(), values.begin() + long(at), values.end());
    return values[at];
}

struct Reference {
    SpeechFeatures features;
    std::vector<int> sentenceStart;  // frame where each sentence's reading begins, and the end
    QString error;
};

Reference readReference(const QStringList& sentences, const AlignmentProgress& progress,
                        const std::function<bool()>& stopped)
{
    Reference reference;
    const int rate = speechRate();
    if (rate == 0) {
        reference.error = QStringLiteral("无法启动语音合成（espeak-ng）");
        return reference;
    }
    SpeechFeatureStream stream(rate);
    const int count = int(sentences.size());
    // A few sentences at a time: the synthesiser is the process's one, and
    // the dictionary's lookups of unknown words wait for it meanwhile.
    for (int first = 0; first < count && reference.error.isEmpty(); first += kSentencesSpokenAtOnce) {
        const QStringList some = sentences.mid(first, kSentencesSpokenAtOnce);
        reference.error = speakSentences(some, kReferenceVoice, kReferenceWordsPerMinute,
                                         [&](int sentence, const float* samples, size_t n) {
                                             if (samples == nullptr) {
                                                 reference.sentenceStart.push_back(stream.frames());
                                                 if (progress)
                                                     progress(70 * (first + sentence) / std::max(1, count),
                                                              first + sentence + 1, count);
                                             }
                                             stream.feed(samples, n);
                                             return !stopped();
                                         });
    }
    reference.sentenceStart.push_back(stream.frames());
    reference.features = stream.finish();
    return reference;
}

int firstSpeech(const std::vector<bool>& speech, int from, int to)
{
    for (int i = from; i < to; ++i)
        if (speech[size_t(i)])
            return i;
    return -1;
}

int lastSpeech(const std::vector<bool>& speech, int from, int to)
{
    for (int i = to - 1; i >= from; --i)
        if (speech[size_t(i)])
            return i;
    return -1;
}

// The coarse band: the line from the recording's first to its last speech,
// widened on both sides.
WarpingBand coarseBand(int rows, int columns, int firstColumn, int lastColumn, int halfWidth)
{
    WarpingBand band;
    band.low.resize(size_t(rows));
    band.high.resize(size_t(rows));
    const double slope = rows > 1 ? double(lastColumn - firstColumn) / (rows - 1) : 0;
    for (int i = 0; i < rows; ++i) {
        const int centre = firstColumn + int(std::lround(slope * i));
        band.low[size_t(i)] = std::clamp(centre - halfWidth, 0, columns - 1);
        band.high[size_t(i)] = std::clamp(centre + halfWidth, 1, columns);
    }
    return band;
}

// The fine band: the coarse path's frames, widened, never falling back.
WarpingBand fineBand(const Warping& coarse, int rows, int columns)
{
    WarpingBand band;
    band.low.resize(size_t(rows));
    band.high.resize(size_t(rows));
    int low = 0;
    int high = 1;
    for (int i = 0; i < rows; ++i) {
        const size_t c = std::min(coarse.matched.size() - 1, size_t(i / kCoarseFactor));
        const int centre = coarse.matched[c] * kCoarseFactor + kCoarseFactor / 2;
        low = std::clamp(std::max(low, centre - kFineHalfBand), 0, columns - 1);
        high = std::clamp(std::max(high, centre + kFineHalfBand), low + 1, columns);
        band.low[size_t(i)] = low;
        band.high[size_t(i)] = high;
    }
    // Each row must reach the one before it.
    for (int i = rows - 1; i > 0; --i)
        band.low[size_t(i - 1)] = std::min(band.low[size_t(i - 1)], band.low[size_t(i)]);
    return band;
}

// Where a sentence's sound begins: its speech after `pause`, moved back over
// faint sound (a soft first word) with only short gaps before it.
int faintOnset(const std::vector<bool>& faint, const Pause& pause)
{
    int onset = pause.end;
    int gap = 0;
    for (int i = pause.end - 1; i > pause.begin && i >= pause.end - kFaintReach && gap < kShortestPause; --i) {
        gap = faint[size_t(i)] ? 0 : gap + 1;
        if (faint[size_t(i)])
            onset = i;
    }
    return onset;
}

QString textFarLonger(int percentFound, int count)
{
    return QStringLiteral("课文比录音里的话长得多：录音里只找到约 %1% 的课文（%2 句中的约 %3 句）")
        .arg(percentFound)
        .arg(count)
        .arg(count * percentFound / 100);
}

}  // namespace

std::vector<bool> speechFrames(const std::vector<float>& levelDb, float aboveFloorDb)
{
    const float floor = percentile(levelDb, 0.1);
    const float loud = percentile(levelDb, 0.98);
    const float threshold = std::max(floor + aboveFloorDb, loud - 35);
    std::vector<bool> speech(levelDb.size());
    for (size_t i = 0; i < levelDb.size(); ++i)
        speech[i] = levelDb[i] > threshold;
    // A lone frame is a click, not speech.
    for (size_t i = 1; i + 1 < speech.size(); ++i)
        if (speech[i] && !speech[i - 1] && !speech[i + 1])
            speech[i] = false;
    return speech;
}

namespace {

// The first pass: each sentence's start and confidence, where it put the
// sentence's speech, and which frames hold speech.
struct FirstPass {
    SentenceAlignment alignment;
    std::vector<RoughPlace> rough;
    std::vector<bool> heard;
};

// The reference reading, read when the first pass needs it or already
// being read beside the decoding.
using ReferenceOf = std::function<Reference(const AlignmentProgress&)>;

FirstPass firstPass(const QStringList& sentences, const SpeechFeatures& recording, const ReferenceOf& referenceOf,
                    const AlignmentProgress& progress, const std::atomic_bool* cancel)
{
    FirstPass pass;
    SentenceAlignment& result = pass.alignment;
    const int count = int(sentences.size());
    pass.heard = speechFrames(recording.levelDb);
    const std::vector<bool>& heard = pass.heard;
    // A sentence's first sound is often soft ("the", "f"): its edge is found
    // at a lower level than the speech itself.
    const std::vector<bool> faint = speechFrames(recording.levelDb, 5);
    const int heardFrames = int(std::count(heard.begin(), heard.end(), true));
    const int columns = recording.frames();
    if (count == 0 || heardFrames < 50 || percentile(recording.levelDb, 0.98) - percentile(recording.levelDb, 0.1) < 15) {
        result.error = QStringLiteral("录音里没有听到说话声");
        return pass;
    }
    const Reference reference = referenceOf(progress);
    if (!reference.error.isEmpty()) {
        result.error = reference.error;
        return pass;
    }
    const std::vector<bool> spoken = speechFrames(reference.features.levelDb);
    const int rows = reference.features.frames();
    // The warping can squeeze the text to half its pace, not more.
    const int spokenFrames = int(std::count(spoken.begin(), spoken.end(), true));
    if (heardFrames < spokenFrames / 2) {
        result.error = textFarLonger(std::min(99, 100 * heardFrames / std::max(1, spokenFrames)), count);
        return pass;
    }

    // Coarse pass.
    const std::vector<SpeechCepstrum> coarseReference = coarsened(reference.features.cepstrum, kCoarseFactor);
    const std::vector<SpeechCepstrum> coarseRecording = coarsened(recording.cepstrum, kCoarseFactor);
    const int coarseColumns = int(coarseRecording.size());
    const int halfWidth = int(std::max(kLeastCoarseHalfBand, kCoarseHalfBandShare * recording.seconds())
                              / (kFrameSeconds * kCoarseFactor));
    const int heardFirst = firstSpeech(heard, 0, columns) / kCoarseFactor;
    const int heardLast = lastSpeech(heard, 0, columns) / kCoarseFactor;
    const Warping coarse = warpInBand(coarseReference, coarseRecording,
                                      coarseBand(int(coarseReference.size()), coarseColumns, heardFirst, heardLast,
                                                 halfWidth));
    if (progress)
        progress(85, 0, count);
    if (coarse.matched.empty() || (cancel && *cancel)) {
        result.error = cancel && *cancel ? QStringLiteral("已取消") : QStringLiteral("无法对齐录音和课文");
        return pass;
    }
    // Fine pass.
    const Warping fine = warpInBand(reference.features.cepstrum, recording.cepstrum, fineBand(coarse, rows, columns));
    if (progress)
        progress(95, 0, count);
    if (fine.matched.empty()) {
        result.error = QStringLiteral("无法对齐录音和课文");
        return pass;
    }

    // Where the warping puts each sentence's speech.
    std::vector<double> distances(size_t(count), 0);
    std::vector<bool> found(size_t(count), false);
    std::vector<WarpedSentence> warped(static_cast<size_t>(count));
    pass.rough.resize(size_t(count));
    int previousSpeakTo = 0;
    for (int k = 0; k < count; ++k) {
        const int from = reference.sentenceStart[size_t(k)];
        const int to = std::min(rows, reference.sentenceStart[size_t(k) + 1]);
        const int speakFrom = std::max(from, firstSpeech(spoken, from, to));
        const int speakTo = std::max(speakFrom + 1, lastSpeech(spoken, from, to) + 1);
        const int mapped = fine.matched[size_t(std::min(speakFrom, rows - 1))];
        warped[size_t(k)] = {mapped, k > 0 ? fine.matched[size_t(std::min(previousSpeakTo, rows - 1))] : mapped};
        previousSpeakTo = speakTo;
        const int spokenEnd = fine.matched[size_t(std::min(speakTo, rows - 1))];
        // The warping may squeeze a sentence: its place is at least as long as the reading.
        pass.rough[size_t(k)] = {mapped, std::max(spokenEnd, mapped + (speakTo - speakFrom))};
        found[size_t(k)] = (spokenEnd - mapped) >= 0.3 * (speakTo - speakFrom);
        distances[size_t(k)] = std::accumulate(fine.distance.begin() + speakFrom, fine.distance.begin() + speakTo, 0.0)
                               / (speakTo - speakFrom);
    }
    // Each sentence's start, in the pause before its first speech.
    const std::vector<Pause> pauses = choosePauses(pausesOf(heard, kShortestPause), warped, kPauseReach);
    result.sentences.resize(size_t(count));
    int previousStart = -1;
    for (int k = 0; k < count; ++k) {
        const Pause& pause = pauses[size_t(k)];
        const int onset = pause.end >= 0 ? faintOnset(faint, pause) : warped[size_t(k)].around;
        const int leadIn = pause.end >= 0 ? std::min(kMostLeadIn, (onset - pause.begin) / 2) : 0;
        // Starts rise strictly, even where two sentences got no pause.
        const int start = std::max({0, onset - leadIn, previousStart + 1});
        result.sentences[size_t(k)].start = start * kFrameSeconds;
        pass.rough[size_t(k)].start = start;
        previousStart = start;
    }
    const int foundCount = int(std::count(found.begin(), found.end(), true));
    if (foundCount < count * 8 / 10) {
        result.error = textFarLonger(100 * foundCount / count, count);
        result.sentences.clear();
        return pass;
    }
    std::vector<double> sorted = distances;
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
    const double typical = std::max(1e-6, sorted[sorted.size() / 2]);
    for (int k = 0; k < count; ++k) {
        double confidence = std::clamp(1.5 - 0.75 * distances[size_t(k)] / typical, 0.0, 1.0);
        if (pauses[size_t(k)].end < 0 || !found[size_t(k)])
            confidence *= 0.4;
        result.sentences[size_t(k)].confidence = confidence;
    }
    return pass;
}

}  // namespace

SentenceAlignment alignSentences(const QStringList& sentences, const SpeechFeatures& recording,
                                 const AlignmentProgress& progress, const std::atomic_bool* cancel)
{
    const ReferenceOf reading = [&](const AlignmentProgress& readingProgress) {
        return readReference(sentences, readingProgress, [cancel] { return cancel && *cancel; });
    };
    SentenceAlignment alignment = firstPass(sentences, recording, reading, progress, cancel).alignment;
    alignment.recordingSeconds = recording.seconds();
    if (progress && alignment.error.isEmpty())
        progress(100, 0, int(sentences.size()));
    return alignment;
}

namespace {

// Confidence of a sentence whose words were verified, and of one whose
// start is the first pass's alone.
constexpr double kVerifiedConfidence = 1.0;
constexpr double kUnverifiedConfidence = 0.2;
// Share of the alignment's work each step takes: decoding, first pass.
constexpr int kDecodedPercent = 25;
constexpr int kFirstPassPercent = 70;

// The acoustic model's decoders for the second pass, the words' pronunciations they use.
struct SecondPassDecoders {
    WordPronunciations pronunciations;
    std::vector<std::unique_ptr<WordAligner>> aligners;
    // The pronunciations, read beside the decoders' making and the
    // recording's decoding: a word the dictionary lacks waits for the
    // synthesiser, which the reference reading holds, and the front end
    // should not wait with it.
    std::future<void> pronouncing;

    // The decoders, once the pronunciations they decode words with are read.
    std::vector<WordAligner*> all() const
    {
        pronouncing.wait();
        std::vector<WordAligner*> pointers;
        for (const auto& aligner : aligners)
            pointers.push_back(aligner.get());
        return pointers;
    }
};

std::unique_ptr<SecondPassDecoders> secondPassDecoders(const QStringList& sentences)
{
    auto decoders = std::make_unique<SecondPassDecoders>();
    decoders->pronouncing = std::async(std::launch::async, [sentences, read = &decoders->pronunciations] {
        *read = pronunciationsOfSentences(sentences);
    });
    // Two decoders, side by side, taking the text's pieces in turn.
    for (int i = 0; i < 2; ++i) {
        QString error;
        std::unique_ptr<WordAligner> aligner = WordAligner::create(decoders->pronunciations, &error);
        if (!aligner)
            break;
        decoders->aligners.push_back(std::move(aligner));
    }
    if (decoders->aligners.empty())
        return nullptr;
    return decoders;
}

// Each sentence's start and words from the second pass; the first pass's
// start for a sentence it did not verify, unless that start lies after all
// the words found for it (see SpokenSentence).
void applySecondPass(const std::vector<FoundSentence>& found, const FirstPass& first, SentenceAlignment* alignment)
{
    std::vector<SpokenSentence> spoken(found.size());
    for (size_t k = 0; k < found.size(); ++k) {
        spoken[k].fallback = int(std::lround(alignment->sentences[k].start / kFrameSeconds));
        // Words found unverified count only when every one of them was found.
        const auto wordFound = [](const FoundWord& w) { return w.startFrame >= 0; };
        spoken[k].verified = found[k].verified;
        if (found[k].verified || std::all_of(found[k].words.begin(), found[k].words.end(), wordFound)) {
            spoken[k].firstWord = found[k].firstFrame();
            spoken[k].lastWordEnd = found[k].endFrame();
        }
    }
    const std::vector<int> starts = sentenceStarts(spoken, first.heard);
    for (size_t k = 0; k < found.size(); ++k) {
        SentenceTiming& timing = alignment->sentences[k];
        timing.start = starts[k] * kFrameSeconds;
        timing.confidence = found[k].verified ? kVerifiedConfidence : std::min(timing.confidence, kUnverifiedConfidence);
        timing.words = found[k].verified ? wordTimesOf(found[k]) : WordTimes();
    }
    // Words found past the next sentence's start lie on that sentence's
    // speech: the finding was wrong, and the sentence is named as unsure
    // with the words that do lie in its span.
    for (size_t k = 0; k + 1 < found.size(); ++k) {
        SentenceTiming& timing = alignment->sentences[k];
        const double next = alignment->sentences[k + 1].start;
        const auto beyond = [next](const WordTime& w) { return w.end > next + kFrameSeconds / 2; };
        if (std::none_of(timing.words.begin(), timing.words.end(), beyond))
            continue;
        timing.words.erase(std::remove_if(timing.words.begin(), timing.words.end(), beyond), timing.words.end());
        timing.confidence = std::min(timing.confidence, kUnverifiedConfidence);
    }
}

}  // namespace

namespace {

// How far before its cue a sentence's speech may begin.
constexpr double kCueLead = 0.5;
// Where the second pass's agreement with the cue is measured from, before the cue.
constexpr double kCueAgreeingLead = 0.2;

// The first pass taken from places already known (subtitle cues): each
// sentence's speech looked for from its place's start to its end.
FirstPass givenFirstPass(const std::vector<std::pair<double, double>>& places, const SpeechFeatures& recording)
{
    FirstPass pass;
    pass.heard = speechFrames(recording.levelDb);
    const int heardFrames = int(std::count(pass.heard.begin(), pass.heard.end(), true));
    if (heardFrames < 50) {
        pass.alignment.error = QStringLiteral("录音里没有听到说话声");
        return pass;
    }
    const int frames = recording.frames();
    const int count = int(places.size());
    pass.alignment.sentences.resize(places.size());
    pass.rough.resize(places.size());
    for (int k = 0; k < count; ++k) {
        const double begin = places[size_t(k)].first;
        const double next = k + 1 < count ? places[size_t(k) + 1].first : recording.seconds();
        const double end = places[size_t(k)].second > begin ? places[size_t(k)].second : next;
        // Subtitles drift either way: the speech is looked for from a little before the cue.
        const double earliest = k > 0 ? places[size_t(k) - 1].first : 0.0;
        const double looked = std::max(earliest, begin - kCueLead);
        const int from = std::clamp(int(std::lround(looked / kFrameSeconds)), 0, std::max(0, frames - 1));
        const int to = std::clamp(int(std::lround(end / kFrameSeconds)), from + 1, std::max(from + 1, frames));
        const int cue = std::clamp(int(std::lround(begin / kFrameSeconds)), from, std::max(from, frames - 1));
        // Speech found from a little before the cue to a little after it agrees with the cue.
        const int agreed = std::max(from, cue - int(std::lround(kCueAgreeingLead / kFrameSeconds)));
        pass.rough[size_t(k)] = {from, to, agreed};
        pass.alignment.sentences[size_t(k)].start = cue * kFrameSeconds;
        // As sure as a first pass that found its sentence; the second pass decides.
        pass.alignment.sentences[size_t(k)].confidence = kUnsureConfidence;
    }
    return pass;
}

using FirstPassOf = std::function<FirstPass(const SpeechFeatures&, const AlignmentProgress&)>;

SentenceAlignment alignWithFirstPass(const QStringList& sentences, const QString& path, double decodingLimitSeconds,
                                     const FirstPassOf& firstPassOf, const AlignmentProgress& progress,
                                     const std::atomic_bool* cancel)
{
    const int count = int(sentences.size());
    const auto report = [&](int percent, int sentence) {
        if (progress)
            progress(percent, sentence, count);
    };
    // The model and the dictionary are read while the recording is decoded;
    // the model's front end needs them first, on the thread that hears the samples.
    std::future<std::unique_ptr<SecondPassDecoders>> loading =
        std::async(std::launch::async, [&sentences] { return secondPassDecoders(sentences); });
    std::unique_ptr<SecondPassDecoders> decoders;
    bool loaded = false;
    const auto load = [&] {
        if (!loaded)
            decoders = loading.get();
        loaded = true;
        return decoders ? decoders->aligners.front().get() : nullptr;
    };
    const SpeechFeatures heard = speechFeaturesOfFile(
        path, decodingLimitSeconds, [&](double) { report(kDecodedPercent / 2, 0); }, cancel,
        [&load](const float* samples, size_t n) {
            if (WordAligner* frontEnd = load())
                frontEnd->feed(samples, n);
        },
        [&load](double seconds) {
            if (WordAligner* frontEnd = load())
                frontEnd->reserve(seconds);
        });
    WordAligner* frontEnd = load();
    SentenceAlignment alignment;
    if (!heard.error.isEmpty()) {
        alignment.error = heard.error;
        return alignment;
    }
    alignment.recordingSeconds = heard.seconds();
    if (heard.frames() < 10)
        return alignment;
    const ModelFrames frames = frontEnd ? frontEnd->finishFrames() : ModelFrames();
    report(kDecodedPercent, 0);
    const FirstPass first = firstPassOf(heard, [&](int percent, int sentence, int) {
        report(kDecodedPercent + percent * (kFirstPassPercent - kDecodedPercent) / 100, sentence);
    });
    alignment.sentences = first.alignment.sentences;
    alignment.error = first.alignment.error;
    if (!alignment.error.isEmpty() || !decoders)
        return alignment;
    const std::vector<FoundSentence> found = findSentenceWords(
        sentences, frames, first.rough, first.heard, decoders->all(),
        [&](int done) { report(kFirstPassPercent + done * (100 - kFirstPassPercent) / std::max(1, count), done); },
        cancel);
    if (cancel && *cancel) {
        alignment.error = QStringLiteral("已取消");
        alignment.sentences.clear();
        return alignment;
    }
    applySecondPass(found, first, &alignment);
    report(100, 0);
    return alignment;
}

}  // namespace

SentenceAlignment alignRecording(const QStringList& sentences, const QString& path, double decodingLimitSeconds,
                                 const AlignmentProgress& progress, const std::atomic_bool* cancel)
{
    // The reference reading needs only the text: it is read while the
    // recording is decoded, on a thread of its own, and stopped when the
    // first pass does not come to it.
    std::atomic_bool unneeded{false};
    std::future<Reference> reading = std::async(std::launch::async, [&] {
        return readReference(sentences, {}, [&] { return unneeded || (cancel && *cancel); });
    });
    const ReferenceOf read = [&](const AlignmentProgress&) { return reading.get(); };
    const FirstPassOf first = [&](const SpeechFeatures& heard, const AlignmentProgress& firstProgress) {
        return firstPass(sentences, heard, read, firstProgress, cancel);
    };
    SentenceAlignment alignment = alignWithFirstPass(sentences, path, decodingLimitSeconds, first, progress, cancel);
    unneeded = true;
    if (reading.valid())
        reading.wait();
    return alignment;
}

SentenceAlignment alignRecordingFromPlaces(const QStringList& sentences,
                                           const std::vector<std::pair<double, double>>& places, const QString& path,
                                           double decodingLimitSeconds, const AlignmentProgress& progress,
                                           const std::atomic_bool* cancel)
{
    const FirstPassOf given = [&](const SpeechFeatures& heard, const AlignmentProgress&) {
        return givenFirstPass(places, heard);
    };
    return alignWithFirstPass(sentences, path, decodingLimitSeconds, given, progress, cancel);
}
