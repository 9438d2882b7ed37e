#pragma once

// A sentence's text turned into the words a reader says: lower case,
// punctuation dropped, numbers and the usual abbreviations written out
// ("Mr. Smith has 10" → mister smith has ten).

#include <QList>
#include <QString>
#include <QStringList>

QStringList spokenWords(const QString& sentenceText);

// One written word of a sentence and the ways a reader may say it, each a
// sequence of spoken words separated by spaces; the first is the one
// spokenWords() gives ("1998" → "one thousand nine hundred ninety eight",
// "nineteen ninety eight").
struct SpokenToken {
    int from = 0;    // its first character in the sentence's text
    int length = 0;  // its characters there (an abbreviation's full stop included)
    QStringList sayings;
};

QList<SpokenToken> spokenTokens(const QString& sentenceText);

// A whole number from 0 to 999 999 in words ("21" → twenty one).
QStringList numberInWords(long long number);
