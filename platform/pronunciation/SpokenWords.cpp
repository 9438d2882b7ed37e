#include "platform/pronunciation/SpokenWords.h"

#include <QHash>
#include <QRegularExpression>

namespace {

const char* const kOnes[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                             "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen",
                             "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

// Abbreviations as the course's sentences write them, with the full stop.
const QHash<QString, QString>& abbreviations()
{
    static const QHash<QString, QString> table{
        {"mr.", "mister"}, {"mr", "mister"}, {"mrs.", "missus"}, {"mrs", "missus"}, {"ms.", "miz"},    {"dr.", "doctor"},
        {"st.", "saint"},  {"no.", "number"},  {"jr.", "junior"}, {"prof.", "professor"},
        {"&", "and"},      {"%", "percent"},   {"+", "plus"},     {"=", "equals"},
    };
    return table;
}

QStringList belowThousand(int n)
{
    QStringList words;
    if (n >= 100) {
        words << kOnes[n / 100] << "hundred";
        n %= 100;
        if (n == 0)
            return words;
    }
    if (n < 20)
        words << kOnes[n];
    else {
        words << kTens[n / 10];
        if (n % 10)
            words << kOnes[n % 10];
    }
    return words;
}

// A token with letters and digits (e.g. "3rd", "20s"): the number read, the
// rest kept as it is.
QStringList readToken(const QString& token)
{
    static const QRegularExpression digits(QStringLiteral("^(\\d+)(\\D*)$"));
    const QRegularExpressionMatch match = digits.match(token);
    if (!match.hasMatch() || match.captured(1).size() > 6)
        return {token};
    QStringList words = numberInWords(match.captured(1).toLongLong());
    if (!match.captured(2).isEmpty())
        words << match.captured(2);
    return words;
}

}  // namespace

QStringList numberInWords(long long number)
{
    if (number < 0 || number > 999999)
        return {};
    if (number == 0)
        return {kOnes[0]};
    QStringList words;
    if (number >= 1000) {
        words << belowThousand(int(number / 1000)) << "thousand";
        number %= 1000;
    }
    if (number > 0)
        words << belowThousand(int(number));
    return words;
}

QStringList spokenWords(const QString& sentenceText)
{
    // Tokens are runs of letters, digits and inner apostrophes, with a
    // trailing full stop kept for the abbreviation look-up; symbols that are
    // read ("&", "%") stand alone.
    static const QRegularExpression tokens(QStringLiteral("[\\p{L}\\d]+(?:['’][\\p{L}]+)*\\.?|[&%+=]"));
    QStringList words;
    const QString text = QString(sentenceText).replace(QRegularExpression("(\\d),(\\d{3})"), "\\1\\2");
    for (auto it = tokens.globalMatch(text.toLower()); it.hasNext();) {
        QString token = it.next().captured();
        token.replace(QChar(0x2019), QChar('\''));
        const auto abbreviation = abbreviations().constFind(token);
        if (abbreviation != abbreviations().constEnd()) {
            words << *abbreviation;
            continue;
        }
        if (token.endsWith('.'))
            token.chop(1);
        words << readToken(token);
    }
    return words;
}
