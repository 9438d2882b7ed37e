#pragma once

// The words of sentences whose boundaries the learner set by hand, found
// again by the acoustic model inside each sentence's span as it now is
// (from its start to the next sentence's), so the word marks follow a
// moved, split or joined sentence. A sentence whose words the model does
// not verify there keeps the words it had.

#include <QString>

#include <atomic>
#include <vector>

struct RealignedWords {
    int tried = 0;
    int verified = 0;  // sentences given their words anew
    // Why none could be tried: no acoustic model, no recording, the lesson's
    // files unreadable. A lesson without word times is left as it is.
    QString error;
};

// For `sentences` (from 0) of lesson `lessonIndex` of an own volume. The
// words are written only where the sentence's text and span are still what
// they were when its words were found. Blocks for about a second per
// sentence: call it off the GUI thread.
RealignedWords realignSentenceWords(const QString& volumeFolder, int lessonIndex, const std::vector<int>& sentences,
                                    const std::atomic_bool* cancel = nullptr);
