// The current sentence: its marking in the lesson page, its place in the
// status bar, and the lookups between sentences and page elements.

#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"

#include <QLabel>

#include <cmath>

namespace {

const char* const kColourNormal = "009933";
const char* const kColourCurrent = "cc0000";

void colour(HtmlElement* element, const char* value)
{
    // A page damaged by its own text may lack an element; nothing to colour.
    if (element != nullptr)
        element->setStyleColor(value);
}

HtmlElement* elementAt(const std::vector<HtmlElement*>& table, int n)
{
    return n >= 0 && n < static_cast<int>(table.size()) ? table[n] : nullptr;
}

// The number at the start of a text, read as a decimal number up to the first
// character that cannot continue it; 0 without digits; halves round to even.
int leadingNumber(const QString& text)
{
    int end = 0;
    while (end < text.size() && text[end].isSpace())
        ++end;
    const int start = end;
    if (end < text.size() && (text[end] == '+' || text[end] == '-'))
        ++end;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
    }
    bool ok = false;
    const double value = text.mid(start, end - start).toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 2147483647.0)
        return 0;
    return static_cast<int>(std::nearbyint(value));
}

}  // namespace

void MainForm::SetCurSentence(int nNo)
{
    if (nCurSentence != -1)
        colour(elementAt(oEngs, nCurSentence), kColourNormal);
    nCurSentence = nNo;
    colour(elementAt(oEngs, nNo), kColourCurrent);
    // The answer is always 1, which keeps the page where it is.
    ElementDisplayingStatus(bShowChinese ? elementAt(oChns, nNo) : elementAt(oEngs, nNo));
    ShowPositionText(nNo + 1);
}

void MainForm::ShowPositionText(int sentenceNumber)
{
    pnSubStatus->setText(QString("共 %1 句，当前是第 %2 句").arg(nSentenceCount).arg(sentenceNumber));
}

HtmlElement* MainForm::GetESentence(int no) const
{
    return oLessonDoc ? oLessonDoc->itemById("engs" + QString::number(no)) : nullptr;
}

HtmlElement* MainForm::GetCSentence(int no) const
{
    return oLessonDoc ? oLessonDoc->itemById("chns" + QString::number(no)) : nullptr;
}

int MainForm::GetSentenceNo(const HtmlElement* obj)
{
    const QString id = obj != nullptr ? obj->id() : QString();
    const QString prefix = id.left(4);
    if (prefix == "engs" || prefix == "chns" || prefix == "imgs")
        return leadingNumber(id.mid(4));
    return -1;
}

int MainForm::ElementDisplayingStatus(const HtmlElement*) { return 1; }
