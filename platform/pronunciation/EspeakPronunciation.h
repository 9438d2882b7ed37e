#pragma once

// Pronunciations for words the acoustic model's dictionary lacks: espeak-ng
// says how the word sounds in its own phoneme names, and these are mapped to
// the model's phone set (the 39 phones of American English, as in "AH M").

#include <QString>

// The word's phones, separated by spaces; empty when espeak-ng gives none
// that map (e.g. a word of symbols only). Safe to call from any thread.
QString espeakPronunciation(const QString& word);

// The mapping alone, from espeak-ng's phoneme names as `espeak-ng -x` writes
// them ("k'ItS@n") to the model's phones ("K IH CH AH N").
QString modelPhonesFromEspeak(const QString& espeakPhonemes);
