#pragma once

// One headword of the learner's dictionary as the card and the command line
// show it, and what a lookup of a written word found.

#include <QList>
#include <QString>
#include <QStringList>

struct DictionaryEntry {
    QString word;
    QString phonetic;       // IPA, empty when the dictionary has none
    QStringList meanings;   // Chinese, one line per part of speech
    int collins = 0;        // Collins stars, 0..5
    bool oxford = false;    // in the Oxford 3000
    QStringList tags;       // exam lists: zk gk cet4 cet6 ky toefl ielts gre
    int frq = 0;            // frequency ranks, 0 when unranked
    int bnc = 0;
    // Its inflected forms, "k:form" items joined by '/' (p past, d past
    // participle, i -ing, 3 third person, r comparative, t superlative, s plural).
    QString exchange;
};

// A headword found for a written word, and how it was reached.
struct FoundEntry {
    DictionaryEntry entry;
    // The written form it was reached from when that is an inflection of it
    // (went → go), with the inflection's letters ("p"); empty when the word
    // is the headword itself.
    QString form;
    QString formKinds;
};

struct WordLookup {
    enum class Kind {
        Word,       // an English word: entries hold what was found (maybe nothing)
        Number,     // digits, a price, a time, an ordinal
        NotEnglish, // Chinese or other text with no Latin letters
        Unreadable, // the dictionary file could not be read: problem says why
    };
    Kind kind = Kind::Word;
    // The word as looked up: punctuation around it taken away.
    QString word;
    QList<FoundEntry> entries;
    QString problem;

    bool found() const { return !entries.isEmpty(); }
};
