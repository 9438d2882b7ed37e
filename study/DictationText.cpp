#include "study/DictationText.h"

#include "platform/system/CourseText.h"
#include "platform/web/HtmlView.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

QString markupToText(const QString& markup)
{
    static const QRegularExpression tagOrReference("<[^>]*>|&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z][A-Za-z0-9]*);");
    QString text;
    int at = 0;
    for (auto it = tagOrReference.globalMatch(markup); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += markup.mid(at, match.capturedStart() - at);
        if (match.captured(0).startsWith('&'))
            text += QTextDocumentFragment::fromHtml(match.captured(0)).toPlainText();
        at = match.capturedEnd();
    }
    return text + markup.mid(at);
}

}  // namespace

QString trimBlanks(const QString& text)
{
    int start = 0;
    int end = text.size();
    while (start < end && text[start] == ' ')
        ++start;
    while (end > start && text[end - 1] == ' ')
        --end;
    return text.mid(start, end - start);
}

QString plainText(const HtmlElement* element)
{
    if (element == nullptr)
        return QString();
    QString text = markupToText(element->innerHtml());
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

int characterAt(const QString& text, int bytePosition)
{
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int width = text[i].isHighSurrogate() && i + 1 < text.size()
            ? encodeCourseText(text.mid(i, 2)).size()
            : encodeCourseText(text.mid(i, 1)).size();
        if (bytes + width > bytePosition)
            return i;
        bytes += width;
        if (text[i].isHighSurrogate())
            ++i;
    }
    return text.size();
}
