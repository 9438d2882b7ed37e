#pragma once

// Clock times and dates as a reader says them: "7:45" → seven forty five,
// a quarter to eight; "9pm" → nine p m; "May 3" → may third. Each function
// gives the ways a time or day is said, the most common first.

#include <QString>
#include <QStringList>

enum class DayHalf { None, Morning, Afternoon };

// The half of the day a written mark gives ("a.m.", "am", "PM"); None for
// any other word.
DayHalf dayHalfOf(const QString& mark);

// An hour and its minutes ("7:45", "7:45pm"); empty when they are no time
// of day (25:99, or 13:00 with "pm").
QStringList clockTimeReadings(int hour, int minute, DayHalf half);

// An hour with its half of the day ("9pm"); empty when it is no hour of a
// 12-hour clock.
QStringList hourReadings(int hour, DayHalf half);

// A mark of the half of the day on its own ("9 p.m.", "9 PM"). An undotted
// "am" or "PM" is one only after a number (`previous`): elsewhere it is a
// word. Empty when `written` is no such mark.
QStringList dayHalfReadings(const QString& written, const QString& previous);

// Whether a written word names a month ("May", "Jan.", "Sept").
bool isMonth(const QString& written);

// A month's short name in full ("Jan." → january); empty when `written` is
// no short name (a full name is read as the word it is).
QStringList monthReadings(const QString& written);

// Where a day of the month is written: "May 3", "3 May", "3rd of May".
enum class DayPlace { AfterMonth, BeforeMonth, BeforeOfMonth };

// A day of the month, written as a number ("3") or an ordinal ("3rd");
// empty when `day` is no day of a month.
QStringList dayOfMonthReadings(int day, bool writtenAsOrdinal, DayPlace place);
