#pragma once

// Percentages and measures as a reader says them: "15%" → fifteen
// percent, "5 km" → five kilometers, "20°C" → twenty degrees celsius. Each
// function gives the ways a measure is said, the most common first.

#include <QString>
#include <QStringList>

// A number with a percent sign ("15%", "3.5%").
QStringList percentReadings(const QString& number);

// A number and the unit written right after it ("5km", "20°C"); empty when
// `unit` is none.
QStringList measureReadings(const QString& number, const QString& unit);

// A unit written on its own ("5 km", "20 °C", "per km"). The letters that
// are words or names as well ("m", "g", "ft") are a unit only after a
// number; `previous` is the word before. Empty when `written` is no unit there.
QStringList unitReadings(const QString& written, const QString& previous);
