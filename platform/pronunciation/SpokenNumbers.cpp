#include "platform/pronunciation/SpokenNumbers.h"

#include <QHash>
#include <QRegularExpression>

#include <utility>

namespace {

const char* const kOnes[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                             "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen",
                             "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
constexpr long long kLargestNumber = 999999999999LL;
constexpr int kLongestNumber = 12;  // digits

// Ordinals whose last word is not the cardinal with "th" ("3" → third).
const QHash<QString, QString>& irregularOrdinals()
{
    static const QHash<QString, QString> table{
        {"one", "first"}, {"two", "second"}, {"three", "third"}, {"five", "fifth"},
        {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"},
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

QString digitName(QChar digit, const char* zero)
{
    return digit == '0' ? QString::fromLatin1(zero) : QString::fromLatin1(kOnes[digit.digitValue()]);
}

// One group of digits, each said on its own; with `doubled`, a digit said
// twice in a row is "double" it, three times "triple".
QString digitsSaid(const QString& digits, const char* zero, bool doubled)
{
    QStringList words;
    for (int at = 0; at < digits.size();) {
        int run = 1;
        while (doubled && at + run < digits.size() && digits[at + run] == digits[at])
            ++run;
        const QString name = digitName(digits[at], zero);
        if (run == 1)
            words << name;
        else if (run == 3)
            words << "triple" << name;
        else {
            words << "double" << name;
            run = 2;
        }
        at += run;
    }
    return words.join(' ');
}

QString pluralOf(const QString& word)
{
    if (word.endsWith('y'))
        return word.chopped(1) + "ies";
    if (word.endsWith('x'))
        return word + "es";
    return word + "s";
}

// A reading with its last word in the plural.
QString withLastPlural(const QString& reading)
{
    QStringList words = reading.split(' ');
    words.last() = pluralOf(words.last());
    return words.join(' ');
}

bool startsWithZero(const QString& digits)
{
    return digits.size() > 1 && digits.startsWith('0');
}

// A year in two pairs: 1998 → nineteen ninety eight, 1905 → nineteen oh
// five, 1900 → nineteen hundred; 2001-2009 as two thousand one and twenty
// oh one; 2010 on as twenty ten. Empty outside 1100-2099.
QStringList yearReadings(long long year)
{
    if (year < 1100 || year > 2099)
        return {};
    const int high = int(year / 100), low = int(year % 100);
    const QString first = belowThousand(high).join(' ');
    if (year == 2000)
        return {cardinal(year)};
    if (high == 20 && low < 10)
        return {cardinal(year), first + " oh " + kOnes[low]};
    if (low == 0)
        return {first + " hundred"};
    return {first + " " + (low < 10 ? QStringLiteral("oh ") : QString()) + belowThousand(low).join(' ')};
}

// "and" before the tens, as British readers say it: 105 → one hundred and
// five, 2021 → two thousand and twenty one. Empty when there is no place for it.
QString withAnd(long long number)
{
    if (number < 100 || number % 100 == 0)
        return {};
    QStringList words = numberInWords(number);
    const qsizetype tens = belowThousand(int(number % 100)).size();
    words.insert(words.size() - tens, QStringLiteral("and"));
    return words.join(' ');
}

// Whole hundreds above a thousand counted in hundreds: 1500 → fifteen hundred.
QString inHundreds(long long number)
{
    if (number < 1100 || number > 9900 || number % 100 != 0 || number % 1000 == 0)
        return {};
    return belowThousand(int(number / 100)).join(' ') + " hundred";
}

QStringList wholeReadings(const QString& digits, bool mayBeYear)
{
    const std::optional<long long> number = wholeNumber(digits);
    if (!number || startsWithZero(digits))
        return digitReadings({digits});
    QStringList readings;
    if (mayBeYear && digits.size() == 4)
        readings << yearReadings(*number);
    readings << cardinal(*number) << withAnd(*number) << inHundreds(*number);
    readings.removeAll(QString());
    readings.removeDuplicates();
    return readings;
}

// The part of a decimal before its point, as a number when it reads as one.
QString wholePartSaid(const QString& digits)
{
    if (digits.isEmpty())
        return QStringLiteral("zero");
    const std::optional<long long> number = wholeNumber(digits);
    if (!number || startsWithZero(digits))
        return digitsSaid(digits, "zero", false);
    return cardinal(*number);
}

// What a decimal's fraction is in words after "and" (3.5 → three and a
// half), when it is a half or a quarter.
QString commonFraction(QString fraction)
{
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (fraction == "5")
        return QStringLiteral("a half");
    if (fraction == "25")
        return QStringLiteral("a quarter");
    if (fraction == "75")
        return QStringLiteral("three quarters");
    return {};
}

// 3.5 → three point five, three and a half; 0.05 → zero point zero five,
// zero point oh five, point zero five.
QStringList decimalReadings(const QString& whole, const QString& fraction)
{
    const QString wholeSaid = wholePartSaid(whole);
    const QString point = QStringLiteral(" point ");
    QStringList readings{wholeSaid + point + digitsSaid(fraction, "zero", false)};
    if (fraction.contains('0'))
        readings << wholeSaid + point + digitsSaid(fraction, "oh", false);
    const bool belowOne = whole.count('0') == whole.size();
    if (belowOne)
        readings << "point " + digitsSaid(fraction, "zero", false);
    else if (const QString common = commonFraction(fraction); !common.isEmpty())
        readings << wholeSaid + " and " + common;
    return readings;
}

QStringList readingsOfWritten(const QString& written, bool mayBeYear)
{
    QString plain = written;
    plain.remove(',');
    const qsizetype point = plain.indexOf('.');
    if (point < 0)
        return wholeReadings(plain, mayBeYear && !written.contains(','));
    return decimalReadings(plain.left(point), plain.mid(point + 1));
}

}  // namespace

QStringList numberInWords(long long number)
{
    if (number < 0 || number > kLargestNumber)
        return {};
    if (number == 0)
        return {kOnes[0]};
    static const std::pair<long long, const char*> scales[] = {
        {1000000000LL, "billion"}, {1000000LL, "million"}, {1000LL, "thousand"}};
    QStringList words;
    for (const auto& [size, name] : scales) {
        if (number >= size) {
            words << belowThousand(int(number / size)) << name;
            number %= size;
        }
    }
    if (number > 0)
        words << belowThousand(int(number));
    return words;
}

QString cardinal(long long number)
{
    return numberInWords(number).join(' ');
}

QString ordinal(long long number)
{
    QStringList words = numberInWords(number);
    if (words.isEmpty())
        return {};
    QString& last = words.last();
    const auto irregular = irregularOrdinals().constFind(last);
    if (irregular != irregularOrdinals().constEnd())
        last = *irregular;
    else if (last.endsWith('y'))
        last = last.chopped(1) + "ieth";
    else
        last += "th";
    return words.join(' ');
}

std::optional<long long> wholeNumber(const QString& digits)
{
    if (digits.isEmpty() || digits.size() > kLongestNumber)
        return std::nullopt;
    for (const QChar c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    return digits.toLongLong();
}

QStringList numberReadings(const QString& written)
{
    return readingsOfWritten(written, true);
}

QStringList amountReadings(const QString& written)
{
    return readingsOfWritten(written, false);
}

QStringList pluralReadings(const QString& digits)
{
    QStringList readings{withLastPlural(numberReadings(digits).first())};
    // A decade is named by its tens alone as well: the 1990s, the nineties.
    const std::optional<long long> number = wholeNumber(digits);
    if (digits.size() == 4 && number && *number % 10 == 0 && *number % 100 != 0)
        readings << withLastPlural(cardinal(*number % 100));
    return readings;
}

QStringList fractionReadings(long long numerator, long long denominator)
{
    if (denominator < 2 || denominator > 100 || numerator < 1 || numerator >= denominator)
        return {};
    const QString count = cardinal(numerator);
    if (denominator == 2)
        return {"one half", "a half", "half"};
    if (denominator == 4)
        return numerator == 1 ? QStringList{"one quarter", "a quarter", "one fourth"}
                              : QStringList{count + " quarters", count + " fourths"};
    const QString part = ordinal(denominator);
    if (numerator == 1)
        return {"one " + part, "a " + part};
    return {count + " " + withLastPlural(part)};
}

QStringList digitReadings(const QStringList& groups)
{
    QStringList readings;
    for (const char* zero : {"oh", "zero"}) {
        for (const bool doubled : {false, true}) {
            QStringList said;
            for (const QString& group : groups)
                said << digitsSaid(group, zero, doubled);
            readings << said.join(' ');
        }
    }
    readings.removeDuplicates();
    return readings;
}

QStringList digitRunReadings(const QString& written)
{
    static const QRegularExpression runs(QStringLiteral("\\d+|\\p{L}+"));
    QStringList asNumbers, asDigits;
    for (auto it = runs.globalMatch(written); it.hasNext();) {
        const QString run = it.next().captured();
        if (!run.front().isDigit()) {
            asNumbers << run.toLower();
            asDigits << run.toLower();
            continue;
        }
        const std::optional<long long> number = wholeNumber(run);
        asNumbers << (number && !startsWithZero(run) ? cardinal(*number) : digitsSaid(run, "oh", false));
        asDigits << digitsSaid(run, "oh", false);
    }
    if (asNumbers.isEmpty())
        return {};
    QStringList readings{asNumbers.join(' '), asDigits.join(' ')};
    readings.removeDuplicates();
    return readings;
}
