#pragma once

// A lesson's text as the learner brings it, cut into sentences.
//
// English in reading order, as paragraphs or one sentence per line; a line
// in Chinese right after an English line is the translation of that line's
// last sentence. Sentences end at . ! ? and the closing quotes or brackets
// after them, but not after a common abbreviation (Mr. Dr. e.g. etc.), an
// initial ("J. Smith") or inside a number ("3.5"). An English line that does
// not end a sentence goes on in the next line (a paragraph broken into lines).

#include "ownlessons/LessonSentence.h"

#include <QByteArray>
#include <QString>

// The text of a file: UTF-8 (with or without a byte order mark), else
// GB18030.
QString decodeLessonText(const QByteArray& bytes);

LessonSentences splitLessonText(const QString& text);

// Whether `text` ends a sentence (its last mark is . ! ? with closing
// quotes, and not an abbreviation's full stop).
bool endsSentence(const QString& text);

// Whether a line is a Chinese one: it holds Han characters.
bool isChineseLine(const QString& line);
