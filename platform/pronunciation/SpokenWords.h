#pragma once

// A sentence's text turned into the words a reader says: lower case,
// punctuation dropped, numbers, amounts, times, dates, measures and the
// usual abbreviations written out ("Mr. Smith paid $10" → mister smith paid
// ten dollars).

#include <QList>
#include <QString>
#include <QStringList>

QStringList spokenWords(const QString& sentenceText);

// One written word of a sentence and the ways a reader may say it, each a
// sequence of spoken words separated by spaces; the first, the most common,
// is the one spokenWords() gives ("$2.75" → "two dollars seventy five",
// "two seventy five", "two dollars and seventy five cents", "two point
// seven five"). A word said as several is still one written word. At most a
// few sayings each: they are alternatives in the aligner's grammar.
struct SpokenToken {
    int from = 0;    // its first character in the sentence's text
    int length = 0;  // its characters there (an abbreviation's full stop included)
    QStringList sayings;
};

QList<SpokenToken> spokenTokens(const QString& sentenceText);
