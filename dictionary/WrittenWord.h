#pragma once

// What a word as a page writes it is looked up as: the punctuation around it
// taken away, curly apostrophes made straight, and the shapes to try in turn
// ("Mr." then "Mr"; "teacher's" then "teacher"; "don't" whole, then "do" and
// "not"; "well-known" whole, then "well" and "known").

#include "dictionary/DictionaryEntry.h"

#include <QString>
#include <QStringList>

struct WrittenWord {
    WordLookup::Kind kind = WordLookup::Kind::Word;
    // The word with the punctuation around it taken away.
    QString word;
    // Shapes of the whole word, the likeliest first; the first that the
    // dictionary knows is the answer.
    QStringList wholes;
    // When no whole shape is known: the parts, each looked up on its own.
    QStringList parts;
};

WrittenWord readWrittenWord(const QString& written);
