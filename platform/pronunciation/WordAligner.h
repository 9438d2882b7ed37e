#pragma once

// Words found in a long recording by the acoustic model of the
// pronunciation score (pocketsphinx with Debian's US English model). The
// recording's frames are made once by the model's own front end; then any
// stretch of them is decoded against a small grammar — the words to find in
// order, words of the neighbouring sentences that may come before and
// after, free phones at the edges — or as a free loop of phones, whose score
// says how well the best sounds of English fit the same frames. Where two
// decoded words meet, the decoder's one best boundary is weighed against all
// the others near it (WordBoundary). Each aligner is a decoder of its own:
// give each thread one.

#include "platform/pronunciation/AcousticModel.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The recording as the model hears it: 13 cepstra per 10 ms frame, the
// mean of the recording's frames that hold sound taken off.
struct ModelFrames {
    static constexpr int kCepstra = 13;
    std::vector<float> cepstra;

    int frames() const { return int(cepstra.size() / kCepstra); }
};

// Spoken word → its pronunciations in the model's phones ("DH AH").
using WordPronunciations = QHash<QString, QStringList>;

// The pronunciations of `words` from the model's dictionary, and from
// espeak-ng for words it lacks; words neither knows are left out.
WordPronunciations pronunciationsOf(const QStringList& words);

// One written word of a grammar: the ways it may be said, each a sequence
// of spoken words separated by spaces.
using SaidWord = QStringList;

struct WordGrammar {
    std::vector<SaidWord> before;  // may come first: any last part of them
    bool wholeBefore = false;      // the words before come first, all of them
    std::vector<SaidWord> words;   // to find, in order; each may be said twice
    std::vector<SaidWord> after;   // may follow: any first part of them
    // Free phones may come after all of it, and before it unless the words
    // before come first, whole.
    bool freeEdges = false;
};

struct AlignedWord {
    enum Part { Before, Word, After };
    Part part = Word;
    int index = 0;        // the written word within its part
    bool beginsSaying = true;  // the first spoken word of one of the written word's sayings
    int startFrame = 0;   // into the recording's frames
    int endFrame = 0;     // inclusive
    // The decoder's own frames for the word, which its score is over: a
    // join with a neighbour is weighed afterwards and may move.
    int scoredStart = 0;
    int scoredEnd = 0;
    double acousticScore = 0;
};

struct WordDecoding {
    std::vector<AlignedWord> words;  // in the order said
    // False when the grammar could not be followed to its end in the frames.
    bool complete = false;
};

class WordAligner {
public:
    // A decoder of its own on the shared model's files; null with the reason
    // in `error` when they cannot be read. It reads `pronunciations` as it
    // decodes: they must outlive it.
    static std::unique_ptr<WordAligner> create(const WordPronunciations& pronunciations, QString* error);
    ~WordAligner();
    WordAligner(const WordAligner&) = delete;
    WordAligner& operator=(const WordAligner&) = delete;

    // The front end: samples (mono, ±1, 16 kHz) fed in pieces of any size.
    void feed(const float* samples, size_t count);
    // Makes room for this many seconds of frames at once.
    void reserve(double seconds);
    ModelFrames finishFrames();

    // Frames [from, to) decoded against the grammar.
    WordDecoding decodeWords(const ModelFrames& frames, int from, int to, const WordGrammar& grammar);
    // Frames [from, to) decoded as free phones; frames count from `from`'s 0
    // as in the recording.
    std::vector<DecodedSegment> decodePhones(const ModelFrames& frames, int from, int to);

private:
    struct Decoder;
    explicit WordAligner(Decoder* decoder);
    std::unique_ptr<Decoder> decoder_;
};

// The free phones' score over frames [start, end], each phone counted for
// the share of its frames that falls inside.
double phoneScoreOver(const std::vector<DecodedSegment>& phones, int start, int end);
