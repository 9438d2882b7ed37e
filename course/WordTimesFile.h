#pragma once

// When each word of an own lesson is spoken, kept beside the lesson's timing
// file as tlx<N><LLL>.wordtimes.tsv: UTF-8 text, a header line, then one line
// per word with tab-separated fields
//
//   sentence  start  end  from  length  word
//
// the sentence numbered from 1 as in the timing file, start and end in
// seconds into the recording, from and length the word's characters in the
// sentence's text as the page shows it (from 0), and the word as written. The
// timing file stays as the course's layout has it; a lesson without this file
// has no word times.

#include "course/WordTime.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// ".wordtimes.tsv": the lesson file base (tlx<N><LLL>) comes before it.
extern const char* const kWordTimesExtension;

// The file's content for sentences with the English texts `texts` and the word
// times `words` (one list per sentence); empty when none of them has word
// times (the file is then not written).
QByteArray wordTimesBytes(const QStringList& texts, const QList<WordTimes>& words);

// The word times of each sentence n < texts.size(), texts[n] being its text as
// the page shows it, in the order spoken. A sentence one of whose words is not
// its text's characters at their place (the text was changed after its words
// were timed) gets none; lines that do not read as a word are passed over.
QList<WordTimes> wordTimesFrom(const QByteArray& bytes, const QStringList& texts);

// The file's bytes with the first spoken word of sentence `sentence` (from 0)
// starting `seconds` later (earlier when negative), kept at or after 0 and
// before its own end. Every other line stays as it was; without words for the
// sentence the bytes come back unchanged.
QByteArray withFirstWordMoved(const QByteArray& bytes, int sentence, double seconds);

// Where the first spoken word of each of the first `sentences` sentences
// starts, by the file alone (its text not checked); -1 for a sentence
// without words in it.
std::vector<double> firstWordStarts(const QByteArray& bytes, int sentences);
