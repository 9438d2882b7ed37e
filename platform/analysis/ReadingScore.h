#pragma once

// How close a learner's take comes to the recording's reading of the same
// sentence: similarity of sound and of intonation, each 0–100.

#include "platform/analysis/VoiceAnalysis.h"

struct ReadingScore {
    // False when the take holds no voice (silence or noise) or the
    // recording's sentence none to compare with: then no score is given.
    bool scored = false;
    bool takeHasVoice = false;
    int similarity = 0;  // 0–100
    int intonation = 0;  // 0–100
    // The measures the scores are mapped from: the mean MFCC distance along
    // the alignment, and the correlation of the two pitch contours.
    double cepstralDistance = 0;
    double pitchCorrelation = 0;
};

ReadingScore scoreReading(const VoiceProfile& recording, const VoiceProfile& take);
