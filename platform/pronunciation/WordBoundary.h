#pragma once

// Where one word gives way to the next, weighed over every way the two
// words' phones, and a pause between them or none, may share the frames
// around the decoder's boundary, rather than read off its one best way.
// Where two ways fit almost equally well, the best way jumps between them
// with a little noise, 20–30 ms at a time; the weighed boundary moves only
// as much as the sound does.

#include "platform/pronunciation/PhoneStates.h"
#include "platform/pronunciation/WordAligner.h"

#include <QString>

#include <cstdint>
#include <unordered_map>

// Two neighbouring words in frames: the first begins at `firstStart` and
// ends before `firstEnd`, the second begins at `secondStart` (a pause
// between them when later) and ends before `secondEnd`.
struct WordJoin {
    int firstStart = 0;
    int firstEnd = 0;
    int secondStart = 0;
    int secondEnd = 0;
};

// One recording's frames scored against the model as the weighing asks
// for them, each frame against each base phone's codebooks once:
// neighbouring joins share most of their frames and phones.
class FrameScores {
public:
    FrameScores(const PhoneStates& model, const ModelFrames& frames) : model_(model), frames_(frames) {}

    const PhoneStates& model() const { return model_; }
    int frames() const { return frames_.frames(); }
    // The log likelihood of frame `frame` under `senone`.
    float senone(int frame, int senone);

private:
    const PhoneStates& model_;
    const ModelFrames& frames_;
    std::unordered_map<std::int64_t, PhoneStates::CodebookScore> scored_;
};

// Where the first word most likely ends and the second begins, each word's
// phones given as "DH AH". Gives `decoded` back when a phone is not the
// model's or the frames are too few to weigh.
WordJoin likelyJoin(FrameScores& scores, const QString& first, const QString& second, const WordJoin& decoded);
