#pragma once

// The boundaries of one sentence while the learner edits them: its start
// and its end (the next sentence's start), each kept where the neighbours
// allow, every step undoable and redoable, and the changes from the lesson
// as its files have it. A sentence's first spoken word moves with its start,
// as it does on disk, so the range of the end follows a moved start.

#include "boundaries/StartRange.h"

#include <cstddef>
#include <utility>
#include <vector>

class BoundaryEdit {
public:
    enum Side { Start, End };

    // starts and firstWords as startRange() takes them; the sentence edited.
    BoundaryEdit(std::vector<double> starts, std::vector<double> firstWords, double recordingSeconds, int sentence);

    int sentence() const { return sentence_; }
    // Whether the sentence has an end to move: the last one ends with the recording.
    bool hasEnd() const { return size_t(sentence_) + 1 < starts_.size(); }
    double at(Side side) const;
    StartRange rangeOf(Side side) const;
    // Every sentence's start as edited so far, and as the files have it.
    const std::vector<double>& starts() const { return starts_; }
    const std::vector<double>& savedStarts() const { return saved_; }

    // Moves a boundary, held within its range, rounded to the hundredth as
    // the timing file keeps it; a step that changes nothing is not kept.
    void move(Side side, double seconds);

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !redoable_.empty(); }
    void undo();
    void redo();

    // The starts that differ from the lesson's files: (sentence, start).
    std::vector<std::pair<int, double>> changes() const;
    // The changes are in the files now.
    void applied();

private:
    struct Step {
        Side side;
        double from;
        double to;
    };
    size_t index(Side side) const { return size_t(sentence_) + (side == End ? 1 : 0); }
    std::vector<double> firstWordsNow() const;
    void set(Side side, double seconds);

    std::vector<double> starts_;
    std::vector<double> saved_;
    std::vector<double> firstWords_;
    double recordingSeconds_;
    int sentence_;
    std::vector<Step> done_;
    std::vector<Step> redoable_;
};
