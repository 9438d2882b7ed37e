#pragma once

// The elements a lesson page gives each sentence n — the sound icon "imgs" + n,
// the English text "engs" + n and the Chinese text "chns" + n — and the
// colours the program paints them in.

class HtmlDocument;
class HtmlElement;

// A sentence's English text, and the current sentence's.
extern const char* const kColourNormal;
extern const char* const kColourCurrent;
// A Chinese line.
extern const char* const kColourChinese;
// White on the page's white background: hidden, yet in place and pressable.
extern const char* const kColourHidden;

// The English, the Chinese and the sound icon element of sentence no;
// nullptr when the page has none.
HtmlElement* GetESentence(const HtmlDocument* page, int no);
HtmlElement* GetCSentence(const HtmlDocument* page, int no);
HtmlElement* GetISentence(const HtmlDocument* page, int no);

// The sentence an element belongs to, from the number in its id; -1 for an
// element that belongs to no sentence.
int GetSentenceNo(const HtmlElement* obj);

// Asks whether an element is in view; the answer is always 1, which keeps the
// page where it is when a sentence becomes current.
int ElementDisplayingStatus(const HtmlElement* element);

// Paints an element; a page damaged by its own text may lack the element, and
// then there is nothing to paint.
void paint(HtmlElement* element, const char* colour);
