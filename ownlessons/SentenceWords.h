#pragma once

// The second pass of the aligner: each sentence's words found in the
// recording by the acoustic model, near where the first pass put the
// sentence, and the finding verified. A sentence's words are decoded in a
// window that reaches into its neighbours, the neighbours' words allowed
// at its edges; the sentence is verified when its words fit their frames
// nearly as well as the free phones do there (the goodness of the
// pronunciation score). A sentence that fails is searched for again between
// the verified sentences around it, with free phones for whatever else was
// said there (unless a decoding with free phones already covered that
// stretch); what still fails stays unverified.

#include "course/WordTime.h"
#include "platform/pronunciation/WordAligner.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

// Where the first pass put a sentence's speech (10 ms frames).
struct RoughPlace {
    int from = 0;
    int to = 0;
    int start = 0;  // the first pass's start, in the pause before the speech
};

struct FoundWord {
    int from = 0;    // its characters in the sentence's English text
    int length = 0;
    int startFrame = -1;  // -1 when not found
    int endFrame = -1;    // the frame after it
};

struct FoundSentence {
    bool verified = false;
    double goodness = 0;  // per frame, over the stretch checked
    double firstGoodness = 0;  // per frame, over its first two words
    bool agrees = false;       // found where the first pass put it
    std::vector<FoundWord> words;

    int firstFrame() const;  // the first found word's start; -1 if none
    int endFrame() const;    // the last found word's end; -1 if none
};

// Finds each sentence's words. `speech` tells the frames that hold sound
// from pauses; `aligners` are the decoders, which share the work side by side;
// `progress` hears sentences done.
std::vector<FoundSentence> findSentenceWords(const QStringList& sentences, const ModelFrames& frames,
                                             const std::vector<RoughPlace>& rough, const std::vector<bool>& speech,
                                             const std::vector<WordAligner*>& aligners,
                                             const std::function<void(int done)>& progress = {},
                                             const std::atomic_bool* cancel = nullptr);

// The first found word's start where its own sound begins: the model
// hears a soft first sound or a catch of the voice as a pause, and so
// begins the word late. Speech the level hears right before it is the
// word's, at most 0.15 s of it. The words after it start where the weighed
// joins put them (see WordBoundary): the level there would also hear the
// tail of the word before, which a room draws out into the pause.
void startFirstWordAtItsSound(std::vector<FoundWord>* words, const std::vector<bool>& speech);

// A verified sentence's words in seconds, its frames counted from
// `offsetFrames`; a written word the model has no pronunciation for lies
// between its neighbours.
WordTimes wordTimesOf(const FoundSentence& found, int offsetFrames = 0);

// The pronunciations of every word the sentences may be said with.
WordPronunciations pronunciationsOfSentences(const QStringList& sentences);
