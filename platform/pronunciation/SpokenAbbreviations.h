#pragma once

// Abbreviations, signs and spelt-out letters as a reader says them:
// "Mr." → mister, "e.g." → for example, "U.S." → u s, united states, "&" →
// and. A title that is a place's name as well ("Dr.", "St.") is read by
// what stands around it: doctor and saint before a name, drive and street
// after one.

#include <QString>
#include <QStringList>

// The readings of a written abbreviation (its full stop, if any, included)
// between the words `previous` and `next` as written (empty at the
// sentence's edges), the most common first; empty when it is none.
QStringList abbreviationReadings(const QString& written, const QString& previous, const QString& next);
