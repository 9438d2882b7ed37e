#include "platform/pronunciation/SpokenMeasures.h"

#include "platform/pronunciation/SpokenNumbers.h"

#include <vector>

namespace {

// One way a unit is said, for one of it and for more.
struct UnitWords {
    const char* one;
    const char* many;
};

struct Unit {
    QString written;       // in lower case
    bool onlyAfterNumber;  // its letters are a word or a name as well
    std::vector<UnitWords> said;
};

const std::vector<Unit>& units()
{
    static const std::vector<Unit> table{
        {"km", false, {{"kilometer", "kilometers"}, {"k", "k"}}},
        {"kg", false, {{"kilogram", "kilograms"}, {"kilo", "kilos"}}},
        {"cm", false, {{"centimeter", "centimeters"}}},
        {"mm", false, {{"millimeter", "millimeters"}}},
        {"mg", false, {{"milligram", "milligrams"}}},
        {"ml", false, {{"milliliter", "milliliters"}, {"mil", "mils"}}},
        {"l", true, {{"liter", "liters"}}},
        {"m", true, {{"meter", "meters"}}},
        {"g", true, {{"gram", "grams"}}},
        {"ft", true, {{"foot", "feet"}}},
        {"lb", true, {{"pound", "pounds"}}},
        {"lbs", true, {{"pound", "pounds"}}},
        {"mph", false, {{"mile per hour", "miles per hour"}, {"m p h", "m p h"}, {"mile an hour", "miles an hour"}}},
        {"km/h", false, {{"kilometer per hour", "kilometers per hour"}, {"kilometer an hour", "kilometers an hour"}}},
        {"kph", false, {{"kilometer per hour", "kilometers per hour"}, {"k p h", "k p h"}}},
        {"°c", false,
         {{"degree celsius", "degrees celsius"}, {"degree", "degrees"}, {"degree centigrade", "degrees centigrade"}}},
        {"°f", false, {{"degree fahrenheit", "degrees fahrenheit"}, {"degree", "degrees"}}},
        {"°", false, {{"degree", "degrees"}}},
    };
    return table;
}

const Unit* unitOf(const QString& written)
{
    const QString key = written.toLower();
    for (const Unit& unit : units())
        if (key == unit.written)
            return &unit;
    return nullptr;
}

QStringList unitSaid(const Unit& unit, bool one)
{
    QStringList said;
    for (const UnitWords& words : unit.said)
        said << QString::fromLatin1(one ? words.one : words.many);
    return said;
}

bool isOne(const QString& number)
{
    return number == "1";
}

// Words after which a unit is said as one of it: "per km" → per kilometer.
bool countsOne(const QString& previous)
{
    static const QStringList single = {"1", "one", "a", "an", "per", "each", "every"};
    return single.contains(previous.toLower());
}

bool startsWithDigit(const QString& word)
{
    return !word.isEmpty() && word.front().isDigit();
}

}  // namespace

QStringList percentReadings(const QString& number)
{
    QStringList readings;
    for (const QString& amount : amountReadings(number))
        readings << amount + " percent";
    return readings;
}

QStringList measureReadings(const QString& number, const QString& unit)
{
    const Unit* known = unitOf(unit);
    if (!known)
        return {};
    const QStringList amounts = amountReadings(number);
    const QStringList units = unitSaid(*known, isOne(number));
    // Each way of saying the unit after the number's first reading, then
    // the number's other readings with the unit's first.
    QStringList readings;
    for (const QString& said : units)
        readings << amounts.first() + " " + said;
    for (const QString& amount : amounts.mid(1))
        readings << amount + " " + units.first();
    return readings;
}

QStringList unitReadings(const QString& written, const QString& previous)
{
    const Unit* known = unitOf(written);
    if (!known || (known->onlyAfterNumber && !startsWithDigit(previous)))
        return {};
    return unitSaid(*known, isOne(previous) || countsOne(previous));
}
