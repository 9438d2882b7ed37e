#pragma once

// The English acoustic model and its pronunciation dictionary, loaded once
// on first use and shared by the whole process. Two decodings of a take are
// asked of it: one held to a grammar of the sentence's words, one free among
// all phones. One decoding runs at a time (the decoder is not re-entrant);
// any thread may ask.

#include <QString>
#include <QStringList>

#include <vector>

struct DecodedSegment {
    QString label;  // a word of the grammar, a phone, or a pause ("<sil>")
    int startFrame = 0;
    int endFrame = 0;  // inclusive; frames are 10 ms
    double acousticScore = 0;  // natural log of the segment's likelihood

    int frames() const { return endFrame - startFrame + 1; }
};

struct Decoding {
    std::vector<DecodedSegment> segments;
    QString error;  // empty when decoded
};

class AcousticModel {
public:
    // The shared model, loading it on the first call; null when its files
    // are missing or unreadable, with the reason in unavailableReason().
    static AcousticModel* shared();
    static QString unavailableReason();
    // The folder the model is read from, laid out as Debian's package lays it out.
    static QString folder();

    // Decodes 16 kHz mono samples with a grammar: the words in order, each
    // possibly said twice, pauses between them allowed; with `skippable`
    // any word may also be left out. Every word must be in the dictionary
    // (see ensureWord).
    Decoding decodeWords(const std::vector<short>& samples, const QStringList& words, bool skippable);
    // Decodes the same samples as a free sequence of phones.
    Decoding decodePhones(const std::vector<short>& samples);
    // Makes sure the dictionary holds the word, adding it with the phones
    // given (space-separated model phones) when it lacks it. False when it
    // lacks it and the phones are empty or not the model's.
    bool ensureWord(const QString& word, const QString& phones);
    bool knowsWord(const QString& word);

    AcousticModel(const AcousticModel&) = delete;
    AcousticModel& operator=(const AcousticModel&) = delete;

private:
    struct Decoder;
    explicit AcousticModel(Decoder* decoder);
    Decoding decode(const char* search, const std::vector<short>& samples);

    Decoder* decoder_;
};
