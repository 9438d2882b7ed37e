#include "platform/pronunciation/SpokenMoney.h"

#include "platform/pronunciation/SpokenNumbers.h"

#include <QRegularExpression>

#include <optional>

namespace {

struct Currency {
    QChar sign;
    const char* one;
    const char* many;
    // The hundredth's name, null when the hundredths are not said apart
    // (yuan: "two point seven five yuan").
    const char* coinOne;
    const char* coinMany;
};

const Currency kCurrencies[] = {
    {QChar('$'), "dollar", "dollars", "cent", "cents"},
    {QChar(0x00A3), "pound", "pounds", "penny", "pence"},
    {QChar(0x20AC), "euro", "euros", "cent", "cents"},
    {QChar(0x00A5), "yuan", "yuan", nullptr, nullptr},
    {QChar(0x5143), "yuan", "yuan", nullptr, nullptr},
};

struct Amount {
    const Currency* currency = nullptr;
    QString whole;     // as written, thousands' commas and all
    QString fraction;  // the digits after the point; empty when none
    QString scale;     // "thousand", "million", "billion" from a letter after the digits; empty when none
};

const Currency* currencyOf(const QString& sign)
{
    for (const Currency& currency : kCurrencies)
        if (sign == currency.sign)
            return &currency;
    return nullptr;
}

QString scaleOfLetters(const QString& letters)
{
    if (letters == "k")
        return QStringLiteral("thousand");
    if (letters == "m")
        return QStringLiteral("million");
    if (letters == "bn")
        return QStringLiteral("billion");
    return {};
}

bool isScaleWord(const QString& word)
{
    static const QStringList scales = {"thousand", "million", "billion", "trillion"};
    return scales.contains(word.toLower());
}

std::optional<Amount> amountOf(const QString& written)
{
    static const QRegularExpression shape(
        QStringLiteral("^([$£€¥]?)(\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.(\\d+))?(k|m|bn)?([€元]?)$"));
    const QRegularExpressionMatch match = shape.match(written);
    if (!match.hasMatch() || match.captured(1).isEmpty() == match.captured(5).isEmpty())
        return std::nullopt;
    if (!match.captured(4).isEmpty() && match.captured(1).isEmpty())
        return std::nullopt;
    Amount amount;
    amount.currency = currencyOf(match.captured(1) + match.captured(5));
    amount.whole = match.captured(2);
    amount.fraction = match.captured(3);
    amount.scale = scaleOfLetters(match.captured(4));
    return amount;
}

QString numberOf(const Amount& amount)
{
    return amount.fraction.isEmpty() ? amount.whole : amount.whole + "." + amount.fraction;
}

// twenty four dollars, twenty four; one hundred and five dollars.
QStringList wholeAmountReadings(const Amount& amount)
{
    const QStringList numbers = amountReadings(amount.whole);
    const QString unit = QString::fromLatin1(amount.whole == "1" ? amount.currency->one : amount.currency->many);
    QStringList readings;
    for (const QString& number : numbers.mid(0, 2))
        readings << number + " " + unit;
    readings << numbers.first();
    return readings;
}

// $5m → five million dollars, five million.
QStringList scaledAmountReadings(const Amount& amount)
{
    const QStringList numbers = amountReadings(numberOf(amount));
    const QString scaled = " " + amount.scale;
    QStringList readings;
    for (const QString& number : numbers.mid(0, 2))
        readings << number + scaled + " " + amount.currency->many;
    readings << numbers.first() + scaled;
    return readings;
}

// $2.75 → two dollars seventy five, two seventy five, two dollars and
// seventy five cents, two point seven five. A yuan amount is said with its
// point first: two point seven five yuan.
QStringList amountWithHundredthsReadings(const Amount& amount)
{
    const Currency& currency = *amount.currency;
    const QString decimal = amountReadings(numberOf(amount)).first();
    const QString many = QString::fromLatin1(currency.many);
    if (amount.fraction.size() > 2)
        return {decimal + " " + many, decimal};
    const int hundredths = amount.fraction.leftJustified(2, '0').toInt();
    if (hundredths == 0)
        return wholeAmountReadings(amount);
    const QString cents = cardinal(hundredths);
    const QString centsAfterWhole = hundredths < 10 ? "oh " + cents : cents;
    const QString whole = amountReadings(amount.whole).first();
    const bool noWhole = wholeNumber(QString(amount.whole).remove(',')) == 0;
    const QString unit = QString::fromLatin1(amount.whole == "1" ? currency.one : currency.many);
    if (!currency.coinOne)
        return {decimal + " " + many, whole + " " + unit + " " + cents, whole + " " + centsAfterWhole, decimal};
    const QString coins = cents + " " + (hundredths == 1 ? currency.coinOne : currency.coinMany);
    if (noWhole)
        return {coins, cents, decimal};
    return {whole + " " + unit + " " + cents, whole + " " + centsAfterWhole, whole + " " + unit + " and " + coins,
            decimal};
}

}  // namespace

QStringList moneyReadings(const QString& written, const QString& next)
{
    const std::optional<Amount> amount = amountOf(written);
    if (!amount)
        return {};
    if (!amount->scale.isEmpty())
        return scaledAmountReadings(*amount);
    if (isScaleWord(next))
        return amountReadings(numberOf(*amount));
    if (amount->fraction.isEmpty())
        return wholeAmountReadings(*amount);
    return amountWithHundredthsReadings(*amount);
}

QStringList coinReadings(const QString& digits, const QString& coin)
{
    const std::optional<long long> count = wholeNumber(digits);
    if (!count)
        return {};
    const QString number = cardinal(*count);
    const QString name = coin.toLower();
    if (name == "p")
        return *count == 1 ? QStringList{"one penny", "one p", "one pence"}
                           : QStringList{number + " pence", number + " p"};
    if (name == "c" || name == QString(QChar(0x00A2)))
        return {number + (*count == 1 ? " cent" : " cents")};
    return {};
}

QStringList scaleAfterMoneyReadings(const QString& word, const QString& previous)
{
    const std::optional<Amount> amount = amountOf(previous);
    if (!isScaleWord(word) || !amount || !amount->scale.isEmpty())
        return {};
    const QString scale = word.toLower();
    return {scale + " " + amount->currency->many, scale};
}
