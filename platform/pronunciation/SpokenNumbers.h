#pragma once

// Numbers as a reader says them: whole numbers, years, ordinals, decimals,
// fractions, and strings of digits (a phone number) read one by one. Each
// function gives the ways a number is said, the most common first, each a
// sequence of spoken words separated by spaces.

#include <QString>
#include <QStringList>

#include <optional>

// A whole number in words ("21" → twenty one), from 0 to 999 999 999 999;
// empty beyond.
QStringList numberInWords(long long number);

// numberInWords() joined by spaces; empty beyond its range.
QString cardinal(long long number);

// "23" → twenty third; empty beyond numberInWords()'s range.
QString ordinal(long long number);

// The written digits as a number; nothing when they are not only digits or
// beyond numberInWords()'s range.
std::optional<long long> wholeNumber(const QString& digits);

// A written number (thousands' commas and a decimal point allowed) as it is
// read in running text: a four-digit number that may be a year is read as
// one first ("1998" → nineteen ninety eight, then one thousand nine hundred
// ninety eight).
QStringList numberReadings(const QString& written);

// The same number as an amount of something (money, a measure): never as a year.
QStringList amountReadings(const QString& written);

// A number's readings in the plural ("1990s" → nineteen nineties).
QStringList pluralReadings(const QString& digits);

// A proper fraction ("3/4" → three quarters, three fourths); empty when the
// numbers make none (a denominator of 0 or 1, a numerator not below it).
QStringList fractionReadings(long long numerator, long long denominator);

// Groups of digits read one digit at a time, group after group ("555",
// "0134" → five five five oh one three four), then with "double" for a
// digit said twice and "zero" for 0.
QStringList digitReadings(const QStringList& groups);

// Every run of digits in `written` read as a number, the letters between
// kept as words and other signs dropped ("25:99" → twenty five ninety
// nine), then every digit on its own: how a token that reads as nothing
// else is said.
QStringList digitRunReadings(const QString& written);
