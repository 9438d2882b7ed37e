#include "ownlessons/SpanWords.h"

#include "course/WordTimesFile.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/LessonFiles.h"
#include "ownlessons/SentenceAligner.h"
#include "ownlessons/SentenceWords.h"
#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/SpeechFeatures.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace {

// The recording is decoded this far around the spans too, so the model
// hears their sound against the recording around them, as the import did.
constexpr double kContextSeconds = 3.0;

// A sentence as its words are looked for: its text and span, checked again
// before its words are written.
struct Span {
    int sentence = 0;
    QString text;
    double start = 0;
    double end = -1;  // the next sentence's start; negative: the recording's end
    std::optional<WordTimes> words;
};

int frameOf(double seconds) { return int(std::lround(seconds / kFrameSeconds)); }

std::vector<Span> spansOf(const LessonSentences& sentences, const std::vector<int>& chosen)
{
    std::vector<Span> spans;
    for (const int k : std::set<int>(chosen.begin(), chosen.end())) {
        if (k < 0 || k >= sentences.size())
            continue;
        const double next = k + 1 < sentences.size() ? sentences.at(k + 1).start : -1;
        spans.push_back({k, sentences.at(k).english, sentences.at(k).start, next, std::nullopt});
    }
    return spans;
}

// Each span's words, where the model verifies them wholly inside it.
void findWords(std::vector<Span>* spans, const QString& recording, WordAligner& aligner, QString* error,
               const std::atomic_bool* cancel)
{
    const int first = std::max(0, frameOf(spans->front().start - kContextSeconds));
    const bool toTheEnd = spans->back().end < 0;
    const double to = toTheEnd ? -1 : spans->back().end + kContextSeconds;
    const DecodedAudio audio = decodeAudio(recording, first * kFrameSeconds, to);
    if (!audio.ok()) {
        *error = audio.error;
        return;
    }
    aligner.feed(audio.samples.data(), audio.samples.size());
    const ModelFrames frames = aligner.finishFrames();
    const std::vector<bool> heard = speechFrames(speechFeatures(audio.samples, kAnalysisRate).levelDb);
    for (Span& span : *spans) {
        if (cancel && *cancel)
            return;
        const int from = std::clamp(frameOf(span.start) - first, 0, frames.frames());
        const int until = span.end < 0 ? frames.frames() : std::clamp(frameOf(span.end) - first, from, frames.frames());
        if (until - from < 10)
            continue;
        const std::vector<FoundSentence> found =
            findSentenceWords({span.text}, frames, {{from, until, from}}, heard, {&aligner}, {}, cancel);
        if (found.empty() || !found.front().verified)
            continue;
        const WordTimes words = wordTimesOf(found.front(), first);
        const bool inside = std::all_of(words.begin(), words.end(), [&](const WordTime& w) {
            return w.start >= span.start - kFrameSeconds / 2 && (span.end < 0 || w.end <= span.end + kFrameSeconds / 2);
        });
        if (inside && !words.isEmpty())
            span.words = words;
    }
}

}  // namespace

RealignedWords realignSentenceWords(const QString& volumeFolder, int lessonIndex, const std::vector<int>& sentences,
                                    const std::atomic_bool* cancel)
{
    RealignedWords result;
    const LessonFiles before = readLessonFiles(volumeFolder, lessonIndex);
    if (!before.error.isEmpty()) {
        result.error = before.error;
        return result;
    }
    // A lesson imported without the model keeps no word times to follow.
    if (!QFileInfo::exists(QDir(volumeFolder).filePath(before.wordTimesName)))
        return result;
    std::vector<Span> spans = spansOf(before.lesson.sentences, sentences);
    result.tried = int(spans.size());
    const LessonTimes times = lessonTimes(volumeFolder, lessonIndex);
    if (spans.empty())
        return result;
    if (times.recording.isEmpty()) {
        result.error = QStringLiteral("第 %1 课没有录音").arg(lessonIndex + 1);
        return result;
    }
    QStringList spanTexts;
    for (const Span& span : spans)
        spanTexts << span.text;
    // The aligner reads them while it decodes.
    const WordPronunciations pronunciations = pronunciationsOfSentences(spanTexts);
    std::unique_ptr<WordAligner> aligner = WordAligner::create(pronunciations, &result.error);
    if (!aligner)
        return result;
    findWords(&spans, times.recording, *aligner, &result.error, cancel);
    if (!result.error.isEmpty() || (cancel && *cancel))
        return result;

    // Written only where the sentence is still as it was when its words were found.
    const LessonFiles now = readLessonFiles(volumeFolder, lessonIndex);
    if (!now.error.isEmpty()) {
        result.error = now.error;
        return result;
    }
    LessonSentences written = now.lesson.sentences;
    const std::vector<Span> still = spansOf(written, sentences);
    for (const Span& span : spans) {
        const auto same = std::find_if(still.begin(), still.end(), [&](const Span& s) {
            return s.sentence == span.sentence && s.text == span.text && s.start == span.start && s.end == span.end;
        });
        if (span.words && same != still.end()) {
            written[span.sentence].words = *span.words;
            ++result.verified;
        }
    }
    if (result.verified == 0)
        return result;
    QStringList texts;
    QList<WordTimes> words;
    for (const LessonSentence& sentence : written) {
        texts << sentence.english;
        words << sentence.words;
    }
    FileTransaction transaction(volumeFolder);
    if (!transaction.write(now.wordTimesName, wordTimesBytes(texts, words)) || !transaction.commit()) {
        result.error = transaction.error();
        result.verified = 0;
    }
    return result;
}
