#pragma once

// The texts dictation works with: a sentence as the learner reads and types
// it, and the answer box's positions against the course encoding's bytes.

#include <QString>

class CourseLibrary;
class HtmlElement;

// Leading and trailing blanks (U+0020 only) removed.
QString trimBlanks(const QString& text);

// Course markup as the page shows it: tags dropped, character references
// decoded, white space kept.
QString textOfMarkup(const QString& markup);

// An element's content as plain text: tags dropped, character references
// decoded, white space kept (a sentence's blanks count in the check), without
// the line end the sentence keeps in the page. Empty for no element.
QString plainText(const HtmlElement* element);

// How many white-space characters a text begins with: where a sentence's own
// words begin in its element's text.
int leadingBlanks(const QString& text);

// The character position in text at which its course encoding holds byte
// position bytePosition (the end of the text when that lies past it).
int characterAt(const QString& text, int bytePosition);

// The forgiving check: the typed text and the sentence match when they are
// the same once letter case is folded, full-width letters and digits are made
// ASCII, punctuation is dropped and every run of white space is one blank.
// Gives -1 when they match; otherwise the position in typed of its first
// character that differs, or typed's length when typed stops short.
int firstForgivingDifference(const QString& typed, const QString& right);

// The dictation check: -1 when typed is the sentence (byte for byte in the
// course encoding, or by the forgiving check when lenient); otherwise the
// position in typed of its first wrong character (its length when it stops
// short).
int firstDictationDifference(const QString& typed, const QString& right, bool lenient, CourseLibrary& library);
