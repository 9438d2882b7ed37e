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

// Ordinals a reader says as one word: "3rd" → third.
const QHash<QString, QString>& ordinalWords()
{
    static const QHash<QString, QString> table{
        {"one", "first"}, {"two", "second"}, {"three", "third"}, {"five", "fifth"}, {"eight", "eighth"},
        {"nine", "ninth"}, {"twelve", "twelfth"}, {"twenty", "twentieth"}, {"thirty", "thirtieth"},
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

QString ordinal(QStringList number)
{
    QString& last = number.last();
    const auto known = ordinalWords().constFind(last);
    last = known != ordinalWords().constEnd() ? *known : last + "th";
    return number.join(' ');
}

// How else a number is read: a year in two pairs ("1998" → nineteen ninety
// eight, "2005" → two thousand five as well as twenty oh five), a hundred
// with "and".
QStringList otherReadings(const QString& digits)
{
    QStringList readings;
    const long long number = digits.toLongLong();
    if (digits.size() == 4 && number >= 1100 && number < 2100) {
        const int high = int(number / 100), low = int(number % 100);
        const QString first = belowThousand(high).join(' ');
        if (low == 0)
            readings << first + " hundred";
        else
            readings << first + " " + (low < 10 ? QStringLiteral("oh ") : QString()) + belowThousand(low).join(' ');
    }
    const QStringList words = numberInWords(number);
    const int hundred = int(words.lastIndexOf("hundred"));
    if (hundred >= 0 && hundred + 1 < words.size())
        readings << (words.mid(0, hundred + 1) + QStringList{"and"} + words.mid(hundred + 1)).join(' ');
    return readings;
}

// The ways a token of letters and digits is said: a number read, a decimal
// with "point", an ordinal, the rest of the token kept as it is.
QStringList sayingsOf(const QString& token)
{
    static const QRegularExpression decimal(QStringLiteral("^(\\d+)\\.(\\d+)$"));
    static const QRegularExpression digits(QStringLiteral("^(\\d+)(\\D*)$"));
    if (const QRegularExpressionMatch match = decimal.match(token); match.hasMatch() && match.captured(1).size() <= 6) {
        QStringList words = numberInWords(match.captured(1).toLongLong());
        words << "point";
        for (const QChar digit : match.captured(2))
            words << kOnes[digit.digitValue()];
        return {words.join(' ')};
    }
    const QRegularExpressionMatch match = digits.match(token);
    if (!match.hasMatch() || match.captured(1).size() > 6)
        return {token};
    QStringList number = numberInWords(match.captured(1).toLongLong());
    const QString rest = match.captured(2);
    QStringList sayings = {(number + (rest.isEmpty() ? QStringList() : QStringList{rest})).join(' ')};
    if (rest == "st" || rest == "nd" || rest == "rd" || rest == "th")
        sayings << ordinal(number);
    else if (rest.isEmpty())
        sayings << otherReadings(match.captured(1));
    else if (rest == "s" && number.last().endsWith('y'))
        sayings << (number.mid(0, number.size() - 1) + QStringList{number.last().chopped(1) + "ies"}).join(' ');
    return sayings;
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

QList<SpokenToken> spokenTokens(const QString& sentenceText)
{
    // Tokens are runs of letters, digits and inner apostrophes (a number
    // may hold thousands' commas and a decimal point), with a trailing full
    // stop kept for the abbreviation look-up; symbols that are read ("&",
    // "%") stand alone.
    static const QRegularExpression tokens(
        QStringLiteral("\\d{1,3}(?:,\\d{3})+(?:\\.\\d+)?|\\d+\\.\\d+|[\\p{L}\\d]+(?:['’][\\p{L}]+)*\\.?|[&%+=]"));
    QList<SpokenToken> spoken;
    for (auto it = tokens.globalMatch(sentenceText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        SpokenToken token{int(match.capturedStart()), int(match.capturedLength()), {}};
        QString text = match.captured().toLower();
        text.replace(QChar(0x2019), QChar('\''));
        if (text.contains(',') && text.front().isDigit())
            text.remove(',');
        const auto abbreviation = abbreviations().constFind(text);
        if (abbreviation != abbreviations().constEnd()) {
            token.sayings << *abbreviation;
        } else {
            if (text.endsWith('.')) {
                text.chop(1);
                --token.length;
            }
            token.sayings = sayingsOf(text);
        }
        spoken << token;
    }
    return spoken;
}

QStringList spokenWords(const QString& sentenceText)
{
    QStringList words;
    for (const SpokenToken& token : spokenTokens(sentenceText))
        words << token.sayings.first().split(' ');
    return words;
}
