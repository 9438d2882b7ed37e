#include "shell/window/FormLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest whole number, as a single-precision value.
float rounded(float value) { return std::nearbyint(value); }

// The comparison view's height, and the column of scores beside it.
constexpr float kCompareViewHeight = 2160;
constexpr float kScoreColumnWidth = 1800;
constexpr float kCompareMargin = 120;

// The comparison panel grows below its buttons' band to hold the view, but
// never past half the page's height, and the pronunciation's rows under it;
// the view and the sentence's words stretch with the panel's width, the
// scores keep to its right end.
void StretchComparePanel(FormLayout& l)
{
    const float viewHeight = std::min(kCompareViewHeight, rounded(l.wbContent.height / 2));
    l.wvCompare.height = viewHeight;
    l.wvCompare.width = std::max(0.0f, l.piCompare.width - l.wvCompare.left - kScoreColumnWidth - kCompareMargin);
    const float scoresLeft = l.piCompare.width - kScoreColumnWidth;
    const float scoresWidth = kScoreColumnWidth - kCompareMargin;
    for (TwipsRect* score : {&l.lbSimilarity, &l.lbIntonation, &l.lbPronunciation, &l.lbCompleteness}) {
        score->left = scoresLeft;
        score->width = scoresWidth;
    }
    const float middle = l.wvCompare.top + viewHeight / 2;
    l.lbSimilarity.top = middle - l.lbSimilarity.height - 60;
    l.lbIntonation.top = middle + 60;

    l.lbSpokenWords.left = l.lbPractice.left = l.wvCompare.left;
    l.lbSpokenWords.width = l.lbPractice.width = l.wvCompare.width;
    l.lbSpokenWords.top = l.lbPronunciation.top = l.wvCompare.top + viewHeight + kCompareMargin;
    l.lbPractice.top = l.lbSpokenWords.top + l.lbSpokenWords.height;
    l.lbCompleteness.top = l.lbPronunciation.top + l.lbPronunciation.height;
    // In a very low window the panel stops where the page ends, cutting the
    // pronunciation's rows off.
    l.piCompare.height = std::min(l.lbPractice.top + l.lbPractice.height + kCompareMargin,
                                  l.wbContent.top + l.wbContent.height - l.piCompare.top);
}

// The dictation panel's hint and answer boxes share its height below the
// options, and its width.
void StretchSpellPanel(FormLayout& l)
{
    const float textWidth = rounded(l.piSpell.width - 2 * (l.teSpell.left - 15));
    if (textWidth > 300)
        l.teSpell.width = l.teChinese.width = l.teEnglish.width = textWidth;
    l.lineSpellX2 = 2 * l.piSpell.width;

    const float textHeight =
        rounded((l.piSpell.height - l.lineSpellY - 735 - 3 * l.lbEnglishTitle.height) / 3);
    if (textHeight > 300) {
        l.teSpell.height = l.teChinese.height = l.teEnglish.height = textHeight;
        float y = rounded(l.lbEnglishTitle.top + l.lbEnglishTitle.height + 105);
        l.teEnglish.top = y;
        y = rounded(l.teEnglish.height + y + 105);
        l.lbChineseTitle.top = y;
        y = rounded(l.lbChineseTitle.height + y + 105);
        l.teChinese.top = y;
        y = rounded(l.teChinese.height + y + 105);
        l.lbSpellTitle.top = y;
        y = rounded(l.lbSpellTitle.height + y + 105);
        l.teSpell.top = y;
    }
}

}  // namespace

QRect TwipsRect::toPixels() const
{
    return QRect(qRound(left / kTwipsPerPixel), qRound(top / kTwipsPerPixel), qRound(width / kTwipsPerPixel),
                 qRound(height / kTwipsPerPixel));
}

FormLayout FormLayout::design()
{
    FormLayout l;
    l.stuInfo = {0, 10410, 12690, 435};
    l.cbVolume = {60, 720, 2835, 360};
    l.lsLesson = {60, 1230, 2835, 8820};
    l.wbContent = {3000, 720, 12225, 8835};
    l.wbWords = {5280, 7980, 5565, 1785};
    l.wbAdv = {6000, 1650, 12225, 8835};
    l.piBrowse = {2940, 1230, 12195, 525};
    l.piCompare = {2940, 1830, 12225, 525};
    l.piSpell = {2970, 720, 11235, 6585};
    l.ckShowChinese = {6300, 9960, 1125, 495};
    l.lbCurLesson = {7380, 10110, 4575, 285};
    l.lbEnglishTitle = {180, 630, 2595, 225};
    l.teEnglish = {210, 990, 10755, 2040};
    l.lbChineseTitle = {180, 3150, 2595, 225};
    l.teChinese = {210, 3420, 10755, 2610};
    l.lbSpellTitle = {210, 6150, 2595, 225};
    l.teSpell = {240, 6420, 10755, 2610};
    l.wvCompare = {kCompareMargin, 495, 0, kCompareViewHeight};
    l.lbSimilarity = {0, 0, 0, 360};
    l.lbIntonation = {0, 0, 0, 360};
    // Two lines of the sentence, should it wrap.
    l.lbSpokenWords = {0, 0, 0, 600};
    l.lbPractice = {0, 0, 0, 360};
    l.lbPronunciation = {0, 0, 0, 360};
    l.lbCompleteness = {0, 0, 0, 360};
    StretchComparePanel(l);
    return l;
}

bool ResizeLayout(FormLayout& l, float W, float H)
{
    if (W < 900)
        return false;
    if (l.stuInfo.height + l.cbVolume.height + 2400 > H)
        return false;

    l.wbContent.top = l.lsLesson.top;
    l.wbWords.top = l.lsLesson.top;
    l.wbContent.height = H - l.stuInfo.height - l.wbContent.top - 630;
    if (rounded(W - l.wbContent.left - 180) > 300)
        l.wbContent.width = W - l.wbContent.left - 180;
    l.lsLesson.height = l.wbContent.height;

    l.piBrowse.left = l.piSpell.left = l.piCompare.left = l.wbContent.left;
    l.piBrowse.top = l.piSpell.top;
    l.piCompare.top = l.piSpell.top;
    l.piBrowse.width = l.piCompare.width = l.piSpell.width = l.wbContent.width;
    l.piSpell.top = l.cbVolume.top;

    l.ckShowChinese.left = W - l.ckShowChinese.width - 300;
    l.ckShowChinese.top = l.piBrowse.top;
    l.lbCurLesson.width = l.piBrowse.width;
    l.lbCurLesson.left = l.piBrowse.left;
    l.lbCurLesson.top = (l.piBrowse.height - l.lbCurLesson.height) / 2 + l.piBrowse.top;

    l.piSpell.height = l.lsLesson.top + l.lsLesson.height - l.cbVolume.top;
    StretchSpellPanel(l);

    for (TwipsRect* browser : {&l.wbWords, &l.wbAdv}) {
        browser->width = l.wbContent.width;
        browser->height = l.wbContent.height;
        browser->top = l.wbContent.top;
        browser->left = l.wbContent.left;
    }
    StretchComparePanel(l);
    return true;
}

TwipsRect PageBelowComparePanel(const FormLayout& l)
{
    TwipsRect page = l.wbContent;
    page.top = std::max(page.top, l.piCompare.top + l.piCompare.height);
    page.height = std::max(0.0f, l.wbContent.top + l.wbContent.height - page.top);
    return page;
}

FormLayout SpellPanelBelow(const FormLayout& l, float top)
{
    FormLayout below = l;
    const float bottom = l.piSpell.top + l.piSpell.height;
    below.piSpell.top = std::max(l.piSpell.top, std::min(top, bottom));
    below.piSpell.height = bottom - below.piSpell.top;
    StretchSpellPanel(below);
    return below;
}
