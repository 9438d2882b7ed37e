#pragma once

// Finds where each sentence of a text is spoken in a recording, and each of
// its words. The first pass reads the text with a synthetic voice and
// matches the two readings frame by frame by time warping (a coarse pass
// over the whole, a fine one along its path), which puts each sentence
// roughly in place; speech before the text (an announcement) and after it
// is passed over. The second pass (SentenceWords) finds each sentence's
// words there with the acoustic model and verifies them. A sentence starts
// in the pause before its first word (SentenceStarts); one whose words were
// not verified keeps the first pass's start, moved into the silence before
// its first speech (at most 0.3 s before it, after the previous sentence's
// last speech), and is named as unsure.

#include "ownlessons/LessonSentence.h"
#include "platform/analysis/SpeechFeatures.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

struct SentenceTiming {
    double start = 0;       // seconds into the recording
    double confidence = 0;  // 0..1; below kUnsureConfidence the start may be off
    WordTimes words;        // each written word's times; empty when not verified
};

constexpr double kUnsureConfidence = 0.5;

struct SentenceAlignment {
    std::vector<SentenceTiming> sentences;
    // Empty when every sentence was placed; otherwise why not (no speech,
    // a text far longer than the speech, cancelled).
    QString error;
    double recordingSeconds = 0;  // how long the recording is, when it was read
};

// Hears how far the alignment is: per cent of its own work, and the sentence
// being read (1-based, 0 when the step is not per sentence).
using AlignmentProgress = std::function<void(int percent, int sentence, int count)>;

// The first pass alone, on a recording's features.
SentenceAlignment alignSentences(const QStringList& sentences, const SpeechFeatures& recording,
                                 const AlignmentProgress& progress = {}, const std::atomic_bool* cancel = nullptr);

// Both passes on a sound file, decoded once (a file that takes longer than
// `decodingLimitSeconds` to decode is refused). Without the acoustic model
// the first pass alone places the sentences.
SentenceAlignment alignRecording(const QStringList& sentences, const QString& path, double decodingLimitSeconds,
                                 const AlignmentProgress& progress = {}, const std::atomic_bool* cancel = nullptr);

// Both passes, the first one given: each sentence's place (start and end in
// seconds, an end not after the start meaning "until the next one"), from
// subtitle cues, in place of the synthetic reading's. The second pass
// re-times each sentence from its words; one it cannot verify keeps its
// place's start and is named as unsure.
SentenceAlignment alignRecordingFromPlaces(const QStringList& sentences,
                                           const std::vector<std::pair<double, double>>& places, const QString& path,
                                           double decodingLimitSeconds, const AlignmentProgress& progress = {},
                                           const std::atomic_bool* cancel = nullptr);

// The frames of a recording that hold speech: louder than its own noise
// floor by `aboveFloorDb` (and not far below its loudest).
std::vector<bool> speechFrames(const std::vector<float>& levelDb, float aboveFloorDb = 12);
