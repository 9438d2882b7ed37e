#include "platform/pronunciation/SpokenTimes.h"

#include "platform/pronunciation/SpokenNumbers.h"

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// The month each short name stands for (from 1), "Sept" beside "Sep".
int monthOfShortName(const QString& name)
{
    static const QStringList shortNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (name == "Sept")
        return 9;
    return int(shortNames.indexOf(name)) + 1;
}

// The month a written word names (from 1), 0 for none. Only a capitalised
// word is one: "may" and "march" are words of their own.
int monthOf(QString written)
{
    if (written.endsWith('.'))
        written.chop(1);
    for (int m = 0; m < 12; ++m)
        if (written == kMonths[m])
            return m + 1;
    return monthOfShortName(written);
}

QString hourOfTwelve(int hour)
{
    const int twelve = hour % 12;
    return cardinal(twelve == 0 ? 12 : twelve);
}

QString markSaid(DayHalf half)
{
    if (half == DayHalf::Morning)
        return QStringLiteral("a m");
    if (half == DayHalf::Afternoon)
        return QStringLiteral("p m");
    return {};
}

QString withMark(const QString& reading, DayHalf half)
{
    const QString mark = markSaid(half);
    return mark.isEmpty() ? reading : reading + " " + mark;
}

// An hour and its minutes as digits are read: seven forty five, seven oh five.
QString digital(const QString& hour, int minute)
{
    return hour + (minute < 10 ? QStringLiteral(" oh ") : QStringLiteral(" ")) + cardinal(minute);
}

QStringList onTheHour(int hour, DayHalf half)
{
    const QString twelve = hourOfTwelve(hour);
    if (half != DayHalf::None) {
        QStringList readings{withMark(twelve, half)};
        if (hour == 12)
            readings << (half == DayHalf::Afternoon ? "noon" : "midnight");
        readings << twelve + " o'clock" << twelve;
        return readings;
    }
    if (hour == 0 || hour == 24)
        return {"midnight", "twelve o'clock", "twelve"};
    QStringList readings{twelve + " o'clock"};
    if (hour == 12)
        readings << "noon" << "twelve" << "midnight";
    else if (hour > 12)
        readings << cardinal(hour) + " hundred" << twelve;
    else
        readings << twelve;
    return readings;
}

// The minutes past the hour or to the next one: a quarter past seven, ten
// to eight, twenty three minutes past seven.
QStringList pastAndTo(int hour, int minute)
{
    const QString past = hourOfTwelve(hour), to = hourOfTwelve(hour + 1);
    const QString minutes = cardinal(minute);
    if (minute == 15)
        return {"a quarter past " + past, "quarter past " + past};
    if (minute == 30)
        return {"half past " + past};
    if (minute == 45)
        return {"a quarter to " + to, "quarter to " + to, minutes + " past " + past};
    if (minute < 30) {
        QStringList readings{minutes + " past " + past};
        if (minute % 5 != 0)
            readings << minutes + " minutes past " + past;
        readings << minutes + " after " + past;
        return readings;
    }
    const int left = 60 - minute;
    QStringList readings{cardinal(left) + " to " + to};
    if (left % 5 != 0)
        readings << cardinal(left) + " minutes to " + to;
    readings << minutes + " past " + past;
    return readings;
}

bool isClockTime(int hour, int minute, DayHalf half)
{
    if (minute < 0 || minute > 59)
        return false;
    if (half != DayHalf::None)
        return hour >= 1 && hour <= 12;
    return hour >= 0 && (hour < 24 || (hour == 24 && minute == 0));
}

}  // namespace

DayHalf dayHalfOf(const QString& mark)
{
    const QString written = mark.toLower();
    if (written == "am" || written == "a.m." || written == "a.m")
        return DayHalf::Morning;
    if (written == "pm" || written == "p.m." || written == "p.m")
        return DayHalf::Afternoon;
    return DayHalf::None;
}

QStringList clockTimeReadings(int hour, int minute, DayHalf half)
{
    if (!isClockTime(hour, minute, half))
        return {};
    if (minute == 0)
        return onTheHour(hour, half);
    // A 24-hour time is read as written first (seventeen thirty), then on
    // the 12-hour clock (five thirty); a time with its mark, then without it.
    const QString asWritten = half == DayHalf::None && hour > 12 ? cardinal(hour) : hourOfTwelve(hour);
    QStringList readings{withMark(digital(asWritten, minute), half), digital(hourOfTwelve(hour), minute)};
    readings << pastAndTo(hour, minute);
    readings.removeDuplicates();
    return readings;
}

QStringList hourReadings(int hour, DayHalf half)
{
    if (half == DayHalf::None || !isClockTime(hour, 0, half))
        return {};
    return onTheHour(hour, half);
}

QStringList dayHalfReadings(const QString& written, const QString& previous)
{
    const DayHalf half = dayHalfOf(written);
    if (half == DayHalf::None)
        return {};
    const bool afterNumber = !previous.isEmpty() && previous.front().isDigit();
    if (!written.contains(QLatin1String(".m")) && !afterNumber)
        return {};
    return {markSaid(half)};
}

bool isMonth(const QString& written)
{
    return monthOf(written) > 0;
}

QStringList monthReadings(const QString& written)
{
    const int month = monthOf(written);
    const QString name = month > 0 ? QString::fromLatin1(kMonths[month - 1]) : QString();
    if (month == 0 || written == name || written == name + ".")
        return {};
    return {name.toLower()};
}

QStringList dayOfMonthReadings(int day, bool writtenAsOrdinal, DayPlace place)
{
    if (day < 1 || day > 31)
        return {};
    const QString nth = ordinal(day);
    QStringList readings;
    switch (place) {
    case DayPlace::AfterMonth:
        readings << nth;
        if (!writtenAsOrdinal)
            readings << cardinal(day);
        readings << "the " + nth;
        return readings;
    case DayPlace::BeforeMonth:
        readings << "the " + nth + " of";
        break;
    case DayPlace::BeforeOfMonth:
        break;
    }
    readings << "the " + nth << nth;
    if (!writtenAsOrdinal)
        readings << cardinal(day);
    return readings;
}
