#pragma once

// How well a learner's take pronounces a sentence, judged against an
// acoustic model of English rather than against another voice: each word's
// goodness of pronunciation, a score of 0–100 from them, and the share of
// the sentence's words that were said at all.

#include <QString>

#include <vector>

enum class WordQuality { Good, Doubtful, Poor, Missing };

struct WordPronunciation {
    QString word;           // as spoken ("mister" for "Mr.")
    WordQuality quality = WordQuality::Missing;
    // The acoustic score per frame of the word's own phones less that of the
    // best free phones over the same frames (goodness of pronunciation):
    // around 0 or above for a well-said word, far below for another word.
    double goodness = 0;
    int startFrame = 0;     // 10 ms frames of the take; -1 when missing
    int endFrame = -1;
};

struct PronunciationScore {
    // False when there is nothing to show: the scorer is unavailable, the
    // take unreadable or silent; `message` says which.
    bool scored = false;
    bool takeHasVoice = false;
    int pronunciation = 0;  // 0–100, over the sentence's words (0 for one not said)
    int completeness = 0;   // 0–100: share of the sentence's words found
    QString poorestWord;    // the word placed in the take with the lowest goodness
    std::vector<WordPronunciation> words;
    QString message;
};

// Whether the acoustic model could be loaded (loading it if not yet done);
// when not, pronunciationUnavailableReason() is one line saying why.
bool pronunciationScoringAvailable();
QString pronunciationUnavailableReason();

// Scores a take (any sound file GStreamer reads) against the sentence's
// text. Blocks for a fraction of the take's length: call it off the GUI
// thread. Safe from any thread.
PronunciationScore scorePronunciation(const QString& takeFile, const QString& sentenceText);
// The same on samples already decoded: mono, ±1, at 16 kHz.
PronunciationScore scorePronunciationOfSamples(const std::vector<float>& samples, const QString& sentenceText);
