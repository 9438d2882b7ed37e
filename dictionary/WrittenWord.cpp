#include "dictionary/WrittenWord.h"

#include <QRegularExpression>

namespace {

bool isLatinLetter(QChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c.isLetter() && c.unicode() < 0x250);
}

bool hasLatinLetter(const QString& text)
{
    return std::any_of(text.begin(), text.end(), isLatinLetter);
}

// Apostrophes and hyphens as the dictionary writes them.
QString straightened(QString text)
{
    text.replace(QChar(0x2019), '\'').replace(QChar(0x2018), '\'').replace(QChar(0x02BC), '\'');
    text.replace(QChar(0x2010), '-').replace(QChar(0x2011), '-');
    return text;
}

// Takes away what surrounds the word: quotes, brackets, commas, a sentence's
// full stop. A final full stop stays where the word may be an abbreviation
// (one with stops inside, "U.S.", "a.m.", or a short capitalised one,
// "Mr.", "St."): both shapes are tried then.
QString trimmed(const QString& text)
{
    auto keeps = [](QChar c) { return c.isLetterOrNumber(); };
    qsizetype first = 0;
    while (first < text.size() && !keeps(text.at(first)) && text.at(first) != '$' && text.at(first) != QChar(0xA3)
           && text.at(first) != QChar(0x20AC) && text.at(first) != QChar(0xA5))
        ++first;
    qsizetype last = text.size();
    while (last > first && !keeps(text.at(last - 1)) && text.at(last - 1) != '%')
        --last;
    QString word = text.mid(first, last - first);
    if (last < text.size() && text.at(last) == '.') {
        static const QRegularExpression abbreviation(R"(^(?:[A-Za-z]+\.)+[A-Za-z]+$|^[A-Z][a-z]{0,2}$)");
        if (abbreviation.match(word).hasMatch())
            word += '.';
    }
    return word;
}

// The word that a contraction's ending stands for.
QString expandedEnding(const QString& ending)
{
    static const QList<QPair<QString, QString>> endings = {
        {"n't", "not"}, {"'re", "are"}, {"'m", "am"}, {"'ll", "will"}, {"'ve", "have"}, {"'d", "would"}, {"'s", "is"},
    };
    for (const auto& [written, said] : endings) {
        if (ending.compare(written, Qt::CaseInsensitive) == 0)
            return said;
    }
    return {};
}

// "don't" → do + not, "I'm" → I + am, "can't" → can + not, "won't" → will +
// not. Empty when the word is no contraction.
QStringList contractionParts(const QString& word)
{
    const QString lower = word.toLower();
    if (lower == "won't")
        return {"will", "not"};
    if (lower == "can't")
        return {"can", "not"};
    if (lower == "shan't")
        return {"shall", "not"};
    const qsizetype apostrophe = lower.endsWith("n't") ? lower.size() - 3 : lower.lastIndexOf('\'');
    if (apostrophe <= 0)
        return {};
    const QString ending = expandedEnding(word.mid(apostrophe));
    if (ending.isEmpty())
        return {};
    return {word.left(apostrophe), ending};
}

WordLookup::Kind kindOf(const QString& word)
{
    if (word.isEmpty())
        return WordLookup::Kind::NotEnglish;
    static const QRegularExpression number(R"(^[$£€¥]?\d[\d,.:/]*(?:st|nd|rd|th|s|am|pm|%|k|m|km|kg|cm|mm)?$)",
                                           QRegularExpression::CaseInsensitiveOption);
    if (number.match(word).hasMatch())
        return WordLookup::Kind::Number;
    return hasLatinLetter(word) ? WordLookup::Kind::Word : WordLookup::Kind::NotEnglish;
}

void addOnce(QStringList& list, const QString& item)
{
    if (!item.isEmpty() && !list.contains(item))
        list << item;
}

}  // namespace

WrittenWord readWrittenWord(const QString& written)
{
    WrittenWord result;
    result.word = trimmed(straightened(written.trimmed()));
    result.kind = kindOf(result.word);
    if (result.kind != WordLookup::Kind::Word)
        return result;

    const QString& word = result.word;
    addOnce(result.wholes, word);
    if (word.endsWith('.'))
        addOnce(result.wholes, word.chopped(1));
    if (word.endsWith("'s", Qt::CaseInsensitive))
        addOnce(result.wholes, word.chopped(2));
    else if (word.endsWith("s'", Qt::CaseInsensitive))
        addOnce(result.wholes, word.chopped(1));

    if (word.contains('-')) {
        for (const QString& part : word.split('-', Qt::SkipEmptyParts))
            addOnce(result.parts, part);
    } else {
        for (const QString& part : contractionParts(word))
            addOnce(result.parts, part);
    }
    return result;
}
