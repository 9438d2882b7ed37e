#include "platform/pronunciation/SpokenWords.h"

#include "platform/pronunciation/SpokenAbbreviations.h"
#include "platform/pronunciation/SpokenMeasures.h"
#include "platform/pronunciation/SpokenMoney.h"
#include "platform/pronunciation/SpokenNumbers.h"
#include "platform/pronunciation/SpokenTimes.h"

#include <QRegularExpression>

namespace {

// Each written word's sayings are alternatives in the aligner's grammar,
// which grows with every one: a few common readings are enough.
constexpr int kMostSayings = 5;

const QString kNumber = QStringLiteral("(?:\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.\\d+)?");

// One written word as the sentence has it.
struct Written {
    QString text;
    int from = 0;
    int length = 0;
};

// The written words: an amount of money with its sign ("$2.75", "20元"), a
// clock time ("7:45", "9:30pm"), a phone number ("555-0134"), a fraction
// ("3/4"), a number with what is written right after it ("15%", "3rd",
// "5km", "20°C", "1990s", "50¢"), a unit's sign alone ("°C", "km/h"),
// letters each with a full stop ("e.g.", "U.S."), a run of letters, digits
// and inner apostrophes with a trailing full stop kept for the abbreviation
// look-up, and the signs that are read ("&", "%").
QList<Written> writtenTokens(const QString& sentenceText)
{
    static const QRegularExpression tokens(QStringList{
        "[$£€¥]" + kNumber + "(?:bn|k|m)?(?![\\p{L}\\d])",
        kNumber + "[€元]",
        QStringLiteral("\\d{1,2}:\\d{2}(?:[aApP]\\.[mM]\\.|[aApP][mM])?(?![\\p{L}\\d])"),
        QStringLiteral("\\d{3}-\\d{3}-\\d{4}(?![\\d-])|\\d{3}-\\d{4}(?![\\d-])"),
        QStringLiteral("\\d+(?:/\\d+)+"),
        kNumber + "(?:%|¢|°[CcFf]?|[aApP]\\.[mM]\\.|km/h|\\p{L}+)?",
        QStringLiteral("°[CcFf]?|km/h"),
        QStringLiteral("(?:\\p{L}\\.){2,}"),
        QStringLiteral("[\\p{L}\\d]+(?:['’][\\p{L}]+)*\\.?"),
        QStringLiteral("[&%+=]"),
    }.join('|'));
    QList<Written> written;
    for (auto it = tokens.globalMatch(sentenceText); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        written << Written{match.captured(), int(match.capturedStart()), int(match.capturedLength())};
    }
    return written;
}

// The words around a written word, as written; empty beyond the sentence.
struct Around {
    QString previous;
    QString next;
    QString afterNext;
};

std::optional<DayPlace> dayPlace(const Around& around)
{
    if (isMonth(around.previous))
        return DayPlace::AfterMonth;
    if (isMonth(around.next))
        return DayPlace::BeforeMonth;
    if (around.next.toLower() == "of" && isMonth(around.afterNext))
        return DayPlace::BeforeOfMonth;
    return std::nullopt;
}

// A day of the month is one by its month: "May 3", "3 May", "3 of May".
// After a written "the" it is not said again.
QStringList dayReadings(const QString& digits, bool writtenAsOrdinal, const Around& around)
{
    const std::optional<long long> day = wholeNumber(digits);
    const std::optional<DayPlace> place = dayPlace(around);
    if (!day || *day > 31 || !place)
        return {};
    QStringList readings = dayOfMonthReadings(int(*day), writtenAsOrdinal, *place);
    if (around.previous.toLower() == "the")
        readings.removeIf([](const QString& reading) { return reading.startsWith(QLatin1String("the ")); });
    return readings;
}

QStringList ordinalReadings(const QString& digits, const Around& around)
{
    if (const QStringList day = dayReadings(digits, true, around); !day.isEmpty())
        return day;
    const std::optional<long long> number = wholeNumber(digits);
    return number ? QStringList{ordinal(*number)} : QStringList{};
}

bool isOrdinalEnding(const QString& letters)
{
    return letters == "st" || letters == "nd" || letters == "rd" || letters == "th";
}

// A whole number and the letters after it: an ordinal, a plural, an hour
// with its half of the day, coins; empty for other letters.
QStringList wholeWithEndingReadings(const QString& digits, const QString& ending, const Around& around)
{
    const std::optional<long long> number = wholeNumber(digits);
    if (!number)
        return {};
    if (isOrdinalEnding(ending))
        return ordinalReadings(digits, around);
    if (ending == "s")
        return pluralReadings(digits);
    if (dayHalfOf(ending) != DayHalf::None)
        return *number <= 24 ? hourReadings(int(*number), dayHalfOf(ending)) : QStringList{};
    return coinReadings(digits, ending);
}

// A number and the letters or sign written right after it; letters that
// make nothing else of it are said after the number.
QStringList numberWithEndingReadings(const QString& number, const QString& ending, const Around& around)
{
    if (ending.isEmpty()) {
        const QStringList day = dayReadings(number, false, around);
        return day.isEmpty() ? numberReadings(number) : day;
    }
    if (ending == "%")
        return percentReadings(number);
    const QString lower = ending.toLower();
    QStringList readings = wholeWithEndingReadings(QString(number).remove(','), lower, around);
    if (readings.isEmpty())
        readings = measureReadings(number, lower);
    if (readings.isEmpty()) {
        static const QRegularExpression notLetter(QStringLiteral("\\P{L}"));
        readings = {numberReadings(number).first() + " " + QString(lower).remove(notLetter)};
    }
    return readings;
}

QStringList clockReadings(const QRegularExpressionMatch& time)
{
    return clockTimeReadings(time.captured(1).toInt(), time.captured(2).toInt(), dayHalfOf(time.captured(3)));
}

// "1/2" → one half; "24/7" and "1/0", which are no fractions, as the numbers in turn.
QStringList slashReadings(const QString& written)
{
    const QStringList parts = written.split('/');
    if (parts.size() == 2) {
        const std::optional<long long> numerator = wholeNumber(parts[0]), denominator = wholeNumber(parts[1]);
        if (numerator && denominator) {
            if (const QStringList fraction = fractionReadings(*numerator, *denominator); !fraction.isEmpty())
                return fraction;
            return QStringList{digitRunReadings(written).first(), cardinal(*numerator) + " over " + cardinal(*denominator)};
        }
    }
    return digitRunReadings(written);
}

// A written word that begins with a digit or a currency's sign. What reads
// as nothing else is read as its runs of digits.
QStringList numericReadings(const QString& written, const Around& around)
{
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})(.*)$"));
    static const QRegularExpression phone(QStringLiteral("^\\d{3}(?:-\\d{3,4})+$"));
    // A group of a number written in groups of digits ("020 7946 0018"),
    // as telephone numbers are: most often said a digit at a time.
    static const QRegularExpression group(QStringLiteral("^\\d{2,}$"));
    static const QRegularExpression groupBeside(QStringLiteral("^\\d{2,}[,.;:!?]?$"));
    static const QRegularExpression number("^(" + kNumber + ")(.*)$");
    QStringList readings = moneyReadings(written, around.next);
    if (!readings.isEmpty())
        return readings;
    if (const QRegularExpressionMatch match = time.match(written); match.hasMatch())
        readings = clockReadings(match);
    else if (phone.match(written).hasMatch())
        readings = digitReadings(written.split('-'));
    else if (group.match(written).hasMatch()
             && (groupBeside.match(around.previous).hasMatch() || groupBeside.match(around.next).hasMatch()))
        readings = digitReadings({written}) << numberReadings(written);
    else if (written.contains('/'))
        readings = slashReadings(written);
    else if (const QRegularExpressionMatch match = number.match(written); match.hasMatch())
        readings = numberWithEndingReadings(match.captured(1), match.captured(2), around);
    return readings.isEmpty() ? digitRunReadings(written) : readings;
}

// A word's readings when it is an abbreviation, a sign, a mark of the
// half of the day, a unit, a scale word after an amount or a month's short
// name; empty when it is a plain word.
QStringList wordReadings(const QString& written, const Around& around)
{
    for (const QStringList& readings :
         {abbreviationReadings(written, around.previous, around.next), dayHalfReadings(written, around.previous),
          unitReadings(written, around.previous), scaleAfterMoneyReadings(written, around.previous),
          monthReadings(written)})
        if (!readings.isEmpty())
            return readings;
    return {};
}

// A word read as it is written; one with digits in it ("A4", "MP3") has
// them read as numbers.
QStringList plainWordReadings(QString written)
{
    static const QRegularExpression digit(QStringLiteral("\\d"));
    if (written.contains(digit))
        return digitRunReadings(written);
    written = written.toLower();
    written.replace(QChar(0x2019), QChar('\''));
    return {written};
}

// The sayings of written word `index`. A full stop the word's reading
// does not use is left out of its `length`.
QStringList sayingsOf(const QList<Written>& written, qsizetype index, int* length)
{
    const QString& text = written[index].text;
    const auto wordAt = [&](qsizetype at) { return at >= 0 && at < written.size() ? written[at].text : QString(); };
    const Around around{wordAt(index - 1), wordAt(index + 1), wordAt(index + 2)};
    if (text.front().isDigit() || QStringLiteral("$£€¥").contains(text.front()))
        return numericReadings(text, around);
    if (QStringList readings = wordReadings(text, around); !readings.isEmpty())
        return readings;
    if (!text.endsWith('.'))
        return plainWordReadings(text);
    --*length;
    const QString withoutStop = text.chopped(1);
    const QStringList readings = wordReadings(withoutStop, around);
    return readings.isEmpty() ? plainWordReadings(withoutStop) : readings;
}

QStringList usableSayings(QStringList sayings)
{
    for (QString& saying : sayings)
        saying = saying.simplified();
    sayings.removeAll(QString());
    sayings.removeDuplicates();
    return sayings.mid(0, kMostSayings);
}

}  // namespace

QList<SpokenToken> spokenTokens(const QString& sentenceText)
{
    const QList<Written> written = writtenTokens(sentenceText);
    QList<SpokenToken> spoken;
    for (qsizetype i = 0; i < written.size(); ++i) {
        SpokenToken token{written[i].from, written[i].length, {}};
        token.sayings = usableSayings(sayingsOf(written, i, &token.length));
        if (!token.sayings.isEmpty())
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
