#pragma once

// A sentence's text turned into the words a reader says: lower case,
// punctuation dropped, numbers and the usual abbreviations written out
// ("Mr. Smith has 10" → mister smith has ten).

#include <QString>
#include <QStringList>

QStringList spokenWords(const QString& sentenceText);

// A whole number from 0 to 999 999 in words ("21" → twenty one).
QStringList numberInWords(long long number);
