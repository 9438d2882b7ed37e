#include "study/DictationText.h"

#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"
#include "platform/web/HtmlView.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <cctype>
#include <vector>

QString textOfMarkup(const QString& markup)
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

namespace {

// Punctuation beyond ASCII's that Chinese and English texts use.
const QString kWidePunctuation = QStringLiteral("，。？！；：、“”‘’（）《》…—");

// Full-width forms (U+FF01..U+FF5E) as their ASCII counterparts.
char32_t narrowed(char32_t c) { return c >= 0xFF01 && c <= 0xFF5E ? c - 0xFF01 + 0x21 : c; }

bool isPunctuation(char32_t c)
{
    return (c < 0x80 && std::ispunct(int(c))) || (c <= 0xFFFF && kWidePunctuation.contains(QChar(char16_t(c))));
}

// A text as the forgiving check sees it; origin[i] is where folded
// character i stands in the original text.
struct Folded {
    QString text;
    std::vector<int> origin;
};

Folded folded(const QString& text)
{
    Folded result;
    int blankAt = -1;  // where a run of white space after some text began
    for (int i = 0; i < text.size();) {
        const int at = i;
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        ++i;
        c = narrowed(c);
        if (QChar::isSpace(c)) {
            if (blankAt < 0 && !result.text.isEmpty())
                blankAt = at;
            continue;
        }
        if (isPunctuation(c))
            continue;
        if (blankAt >= 0) {
            result.text += ' ';
            result.origin.push_back(blankAt);
            blankAt = -1;
        }
        const QString piece = QString::fromUcs4(&c, 1).toCaseFolded();
        for (const QChar unit : piece) {
            result.text += unit;
            result.origin.push_back(at);
        }
    }
    return result;
}

}  // namespace

int firstForgivingDifference(const QString& typed, const QString& right)
{
    const Folded mine = folded(typed);
    const Folded theirs = folded(right);
    if (mine.text == theirs.text)
        return -1;
    int i = 0;
    while (i < mine.text.size() && i < theirs.text.size() && mine.text[i] == theirs.text[i])
        ++i;
    return i < mine.text.size() ? mine.origin[i] : typed.size();
}

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
    QString text = textOfMarkup(element->innerHtml());
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

int firstDictationDifference(const QString& typed, const QString& right, bool lenient, CourseLibrary& library)
{
    if (lenient)
        return firstForgivingDifference(typed, right);
    const int r = library.dllCompareSentence(encodeCourseText(typed), encodeCourseText(right));
    // The comparison counts bytes of the course encoding; the box counts
    // characters.
    return r == -1 ? -1 : characterAt(typed, r);
}

int leadingBlanks(const QString& text)
{
    int blanks = 0;
    while (blanks < text.size() && text.at(blanks).isSpace())
        ++blanks;
    return blanks;
}
