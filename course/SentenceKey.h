#pragma once

// A sentence of the course as the record, the review and the Anki export
// name it.

#include <QString>

// The hash of its English text keeps the history of an edited sentence
// apart from the sentence it replaced.
struct SentenceKey {
    QString volume;
    QString lesson;
    int number = -1;
    QString textHash;
    QString english;
    QString chinese;
};
