#pragma once

// Amounts of money as a reader says them: "$2.75" → two dollars seventy
// five, two seventy five, two dollars and seventy five cents, two point
// seven five; "$24" → twenty four dollars, twenty four; pounds and pence,
// euros and cents, yuan (¥, 元); coins alone ("75p", "50c"). Each function
// gives the ways an amount is said, the most common first.

#include <QString>
#include <QStringList>

// An amount written with its currency's sign before it ("$2.75", "£1,500",
// "$5m") or after it ("20元"). Before a scale word (`next`: "$5 million") the currency is said after
// that word, and the amount is read as a number alone. Empty when
// `written` is no amount.
QStringList moneyReadings(const QString& written, const QString& next);

// Coins alone: "75p" → seventy five pence, "50c" → fifty cents; `coin` is
// the letter or sign after the number. Empty when it names no coin.
QStringList coinReadings(const QString& digits, const QString& coin);

// A scale word after an amount ("$5 million"): the word, then the
// amount's currency ("million dollars"). Empty when `word` is no scale
// word or `previous` no amount.
QStringList scaleAfterMoneyReadings(const QString& word, const QString& previous);
