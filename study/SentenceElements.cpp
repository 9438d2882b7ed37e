#include "study/SentenceElements.h"

#include "platform/web/HtmlView.h"

#include <cmath>

const char* const kColourNormal = "009933";
const char* const kColourCurrent = "cc0000";
const char* const kColourChinese = "666633";
const char* const kColourHidden = "ffffff";

namespace {

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

HtmlElement* GetESentence(const HtmlDocument* page, int no)
{
    return page != nullptr ? page->itemById("engs" + QString::number(no)) : nullptr;
}

HtmlElement* GetCSentence(const HtmlDocument* page, int no)
{
    return page != nullptr ? page->itemById("chns" + QString::number(no)) : nullptr;
}

HtmlElement* GetISentence(const HtmlDocument* page, int no)
{
    return page != nullptr ? page->itemById("imgs" + QString::number(no)) : nullptr;
}

int GetSentenceNo(const HtmlElement* obj)
{
    const QString id = obj != nullptr ? obj->id() : QString();
    const QString prefix = id.left(4);
    if (prefix == "engs" || prefix == "chns" || prefix == "imgs")
        return leadingNumber(id.mid(4));
    return -1;
}

int ElementDisplayingStatus(const HtmlElement*) { return 1; }

void paint(HtmlElement* element, const char* colour)
{
    if (element != nullptr)
        element->setStyleColor(colour);
}
