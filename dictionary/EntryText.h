#pragma once

// A dictionary entry in the learner's words: exam lists and inflections by
// their Chinese names, Collins stars, a frequency band, and a lookup as the
// command line prints it.

#include "dictionary/DictionaryEntry.h"

#include <QString>
#include <QStringList>

// "中考 高考 四级" for zk gk cet4; unknown tags are left out.
QString examTagNames(const QStringList& tags);
// "★★★☆☆" for three of five; empty for none.
QString collinsStars(int stars);
// How common the word is, from its better frequency rank ("最常用的 1000 词");
// empty when unranked.
QString frequencyBand(const DictionaryEntry& entry);
// "过去式、过去分词" for "pd".
QString formKindNames(const QString& kinds);
// The entry's inflections: "过去式 went", "过去分词 gone", ….
QStringList inflections(const DictionaryEntry& entry);
// One line of what the entry is: stars, Oxford 3000, exams, frequency band.
QString entryMarks(const DictionaryEntry& entry);
// What is said when a lookup found nothing: a number, not English, a word
// the dictionary lacks (a capitalised one likely a name), or the problem.
QString notFoundText(const WordLookup& lookup);
// The whole lookup as lines of plain text.
QString lookupText(const WordLookup& lookup);
