#include "platform/pronunciation/SpokenAbbreviations.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// Abbreviations as sentences write them, with and without the full stop,
// and the signs that are read.
const QHash<QString, QStringList>& abbreviations()
{
    static const QHash<QString, QStringList> table{
        {"mr.", {"mister"}},
        {"mr", {"mister"}},
        {"mrs.", {"missus"}},
        {"mrs", {"missus"}},
        {"ms.", {"miz"}},
        {"jr.", {"junior"}},
        {"sr.", {"senior"}},
        {"prof.", {"professor"}},
        {"mt.", {"mount"}},
        {"ave.", {"avenue"}},
        {"rd.", {"road"}},
        {"vs.", {"versus", "v s"}},
        {"vs", {"versus", "v s"}},
        {"etc.", {"et cetera", "and so on"}},
        {"e.g.", {"for example", "e g", "for instance"}},
        {"i.e.", {"that is", "i e", "in other words"}},
        {"u.s.", {"u s", "united states"}},
        {"u.s.a.", {"u s a", "united states", "america"}},
        {"usa", {"u s a", "united states", "america"}},
        {"u.k.", {"u k", "united kingdom"}},
        {"uk", {"u k", "united kingdom"}},
        {"&", {"and"}},
        {"%", {"percent"}},
        {"+", {"plus"}},
        {"=", {"equals"}},
    };
    return table;
}

// A title before a name, or a place's kind after one.
struct TitleOrPlace {
    const char* title;
    const char* place;
};

const QHash<QString, TitleOrPlace>& titlesOrPlaces()
{
    static const QHash<QString, TitleOrPlace> table{
        {"dr.", {"doctor", "drive"}},
        {"dr", {"doctor", "drive"}},
        {"st.", {"saint", "street"}},
        {"st", {"saint", "street"}},
    };
    return table;
}

bool startsWithCapital(const QString& word)
{
    return !word.isEmpty() && word.front().isUpper();
}

bool startsWithDigit(const QString& word)
{
    return !word.isEmpty() && word.front().isDigit();
}

// "St. James" is a saint, "Baker St." and "5th St." a street: a name after
// it makes it a title, a name or number before it (and none after) a
// place. With neither it is taken as a title.
QStringList titleOrPlaceReadings(const TitleOrPlace& meanings, const QString& previous, const QString& next)
{
    const bool placeFirst =
        !startsWithCapital(next) && (startsWithCapital(previous) || startsWithDigit(previous));
    if (placeFirst)
        return {meanings.place, meanings.title};
    return {meanings.title, meanings.place};
}

// Letters each with a full stop ("a.b.c.") are said one by one.
QStringList spelledLetters(const QString& written)
{
    static const QRegularExpression dotted(QStringLiteral("^(?:\\p{L}\\.){2,}$"));
    if (!dotted.match(written).hasMatch())
        return {};
    QString letters = written.toLower();
    letters.remove('.');
    QStringList said;
    for (const QChar letter : letters)
        said << QString(letter);
    return {said.join(' ')};
}

}  // namespace

QStringList abbreviationReadings(const QString& written, const QString& previous, const QString& next)
{
    const QString key = written.toLower();
    const auto titleOrPlace = titlesOrPlaces().constFind(key);
    if (titleOrPlace != titlesOrPlaces().constEnd())
        return titleOrPlaceReadings(*titleOrPlace, previous, next);
    // "No." is "number" only before one: at a sentence's end it is the word.
    if (key == "no.")
        return startsWithDigit(next) ? QStringList{"number"} : QStringList{};
    const auto known = abbreviations().constFind(key);
    if (known != abbreviations().constEnd())
        return *known;
    return spelledLetters(written);
}
