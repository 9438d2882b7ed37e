#pragma once

// The main window's arrangement in twips (1/1440 inch; 15 twips are one
// logical pixel) and the arithmetic that stretches it with the window.

#include <QRect>

struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;

    QRect toPixels() const;
};

constexpr float kTwipsPerPixel = 15.0f;

// The smallest client area the window allows: the volume and lesson lists
// beside a narrow page, under the toolbar's row with 语速 at its end.
constexpr TwipsRect kSmallestClientArea{0, 0, 6000, 5400};

// The controls the stretching reads or moves. Positions of controls inside a
// panel are relative to the panel.
struct FormLayout {
    TwipsRect stuInfo, cbVolume, lsLesson, wbContent, wbWords, wbAdv;
    TwipsRect piBrowse, piCompare, piSpell, ckShowChinese, lbCurLesson;
    TwipsRect lbEnglishTitle, teEnglish, lbChineseTitle, teChinese, lbSpellTitle, teSpell;
    float lineSpellY = 510, lineSpellX1 = -330, lineSpellX2 = 13320;
    // In the comparison panel, below its buttons: the view of the two
    // readings and, at its right, the take's scores; under the view the
    // take's pronunciation: the sentence's words coloured, the word to
    // practise, and at the right 发音 and 完整度.
    TwipsRect wvCompare, lbSimilarity, lbIntonation;
    TwipsRect lbSpokenWords, lbPractice, lbPronunciation, lbCompleteness;

    // The arrangement the window is designed with (client area 12690 x 10845).
    static FormLayout design();
};

// Stretches the layout to a window of outer width W and outer height H in
// twips. Returns false, changing nothing, when the window is too small to
// lay out.
bool ResizeLayout(FormLayout& layout, float W, float H);

// The lesson page while the comparison panel shows: below the panel, down to
// where the page always ends.
TwipsRect PageBelowComparePanel(const FormLayout& layout);

// The layout with the dictation panel beginning at `top` (a video lesson's
// picture above it), its boxes sharing the height left down to where it
// always ends.
FormLayout SpellPanelBelow(const FormLayout& layout, float top);
