#pragma once

// Finds where each sentence of a text is spoken in a recording. The text is
// read by a synthetic voice; the two readings are matched frame by frame by
// time warping (a coarse pass over the whole, a fine one along its path);
// then each sentence's start is moved into the silence before its first
// speech in the recording, at most 0.5 s before it and after the previous
// sentence's last speech. Speech before the text (an announcement) and
// after it is passed over.

#include "platform/analysis/SpeechFeatures.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

struct SentenceTiming {
    double start = 0;       // seconds into the recording
    double confidence = 0;  // 0..1; below kUnsureConfidence the start may be off
};

constexpr double kUnsureConfidence = 0.5;

struct SentenceAlignment {
    std::vector<SentenceTiming> sentences;
    // Empty when every sentence was placed; otherwise why not (no speech,
    // a text far longer than the speech, cancelled).
    QString error;
};

// Hears how far the alignment is: per cent of its own work, and the sentence
// being read (1-based, 0 when the step is not per sentence).
using AlignmentProgress = std::function<void(int percent, int sentence, int count)>;

SentenceAlignment alignSentences(const QStringList& sentences, const SpeechFeatures& recording,
                                 const AlignmentProgress& progress = {}, const std::atomic_bool* cancel = nullptr);

// The frames of a recording that hold speech: louder than its own noise
// floor by `aboveFloorDb` (and not far below its loudest).
std::vector<bool> speechFrames(const std::vector<float>& levelDb, float aboveFloorDb = 12);
