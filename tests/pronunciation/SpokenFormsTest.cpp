// The ways each written word of a sentence is said: one written word
// whatever its sayings hold, its most common reading first, the other
// common readings among its few alternatives, and nothing but spoken words.

#include "platform/pronunciation/SpokenWords.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Form {
    QString sentence;
    QString written;  // one written word of it, the first so written
    QString first;    // its most common reading
    QStringList others = {};  // readings it offers as well
};

std::string shown(const QStringList& sayings)
{
    return sayings.join(" | ").toStdString();
}

// A saying the aligner can look up: lower-case words, no digits or signs,
// and few of them.
void expectSpokenOnly(const SpokenToken& token, const QString& sentence)
{
    static const QRegularExpression spoken(QStringLiteral("^[a-z']+(?: [a-z']+)*$"));
    EXPECT_GE(token.sayings.size(), 1);
    EXPECT_LE(token.sayings.size(), 5) << shown(token.sayings);
    for (const QString& saying : token.sayings)
        EXPECT_TRUE(spoken.match(saying).hasMatch())
            << '"' << saying.toStdString() << "\" for " << sentence.mid(token.from, token.length).toStdString();
}

}  // namespace

TEST(SpokenWords, EachWrittenWordIsOneTokenWithItsCommonReadings)
{
    const Form forms[] = {
        // Money: the amount as prices are said before the decimal.
        {"It costs $2.75 today.", "$2.75", "two dollars seventy five",
         {"two seventy five", "two dollars and seventy five cents", "two point seven five"}},
        {"Tickets are $24.", "$24", "twenty four dollars", {"twenty four"}},
        {"Bus fare is $1.", "$1", "one dollar"},
        {"Gum is $0.75.", "$0.75", "seventy five cents"},
        {"Rent is £1,500.", "£1,500", "one thousand five hundred pounds", {"fifteen hundred pounds"}},
        {"They sold it for $2.5m.", "$2.5m", "two point five million dollars", {"two and a half million dollars"}},
        {"A coffee is £3.50 here.", "£3.50", "three pounds fifty", {"three pounds and fifty pence"}},
        {"It was €1.05 or 20元.", "€1.05", "one euro five", {"one euro and five cents"}},
        {"It was €1.05 or 20元.", "20元", "twenty yuan", {"twenty"}},
        {"Stamps cost 75p each.", "75p", "seventy five pence", {"seventy five p"}},
        {"A sweet costs 1p.", "1p", "one penny"},
        {"A pen costs 50¢.", "50¢", "fifty cents"},
        {"They raised $5 million.", "million", "million dollars"},
        // Clock times, whole and with the half of the day.
        {"The bus leaves at 7:45.", "7:45", "seven forty five", {"a quarter to eight", "forty five past seven"}},
        {"I woke at 7:05.", "7:05", "seven oh five", {"five past seven"}},
        {"I woke at 7:50.", "7:50", "seven fifty", {"ten to eight"}},
        {"The party ends at 0:00.", "0:00", "midnight"},
        {"Class is at 10:15am.", "10:15am", "ten fifteen a m", {"a quarter past ten"}},
        {"Lunch is at 12:00.", "12:00", "twelve o'clock", {"noon"}},
        {"We met at 17:30.", "17:30", "seventeen thirty", {"five thirty", "half past five"}},
        {"The show starts at 9pm.", "9pm", "nine p m"},
        {"Come at 9 a.m. sharp.", "a.m.", "a m"},
        {"Come at 9 am.", "am", "a m"},
        {"Come at 9 pm.", "pm", "p m"},
        {"I am late.", "am", "am"},
        // Years, ordinals and dates.
        {"In 1998, the 3rd of 2,500", "1998", "nineteen ninety eight", {"one thousand nine hundred ninety eight"}},
        {"In 1998, the 3rd of 2,500", "3rd", "third"},
        {"In 1998, the 3rd of 2,500", "2,500", "two thousand five hundred", {"twenty five hundred"}},
        {"In 2005 we left.", "2005", "two thousand five", {"twenty oh five"}},
        {"By 2010 it was done.", "2010", "twenty ten", {"two thousand ten"}},
        {"The 1990s were loud.", "1990s", "nineteen nineties"},
        {"He came 23rd, she 21st.", "23rd", "twenty third"},
        {"He came 23rd, she 21st.", "21st", "twenty first"},
        {"He came 40th.", "40th", "fortieth"},
        {"It opens on May 3.", "3", "third", {"three"}},
        {"It opens on 3 May.", "3", "the third of"},
        {"It opens on 3 May.", "May", "may"},
        {"It opens on the 3rd of May.", "3rd", "third"},
        {"It opens on Jan. 5th.", "Jan.", "january"},
        // Other numbers.
        {"Prices rose 15% this year.", "15%", "fifteen percent"},
        {"Mr. Brown paid 3.5 dollars.", "3.5", "three point five", {"three and a half"}},
        {"Add 3/4 of a cup.", "3/4", "three quarters", {"three fourths"}},
        {"Add 1/2 a cup.", "1/2", "one half", {"a half"}},
        {"Add 2/3 of it.", "2/3", "two thirds"},
        {"A jet costs 1,000,000 now.", "1,000,000", "one million"},
        {"Agent 007 is here.", "007", "oh oh seven", {"double oh seven"}},
        {"“It’s” 105 & 2005", "105", "one hundred five", {"one hundred and five"}},
        {"Call 321-0112 now.", "321-0112", "three two one oh one one two",
         {"three two one oh double one two", "three two one zero one one two"}},
        {"Call 555 7946, please.", "555", "five five five", {"triple five", "five hundred fifty five"}},
        {"Call 555 7946, please.", "7946", "seven nine four six", {"seven thousand nine hundred forty six"}},
        // Measures: letters that are words elsewhere are a unit after a number.
        {"We ran 5 km today.", "km", "kilometers"},
        {"We ran 1 km today.", "km", "kilometer"},
        {"It costs $2 per km.", "km", "kilometer"},
        {"We ran 5 km.", "km", "kilometers"},
        {"It weighs 3kg.", "3kg", "three kilograms", {"three kilos"}},
        {"Take 0.5 mg twice a day.", "mg", "milligrams"},
        {"Add 250 ml of milk.", "ml", "milliliters", {"mils"}},
        {"Drink 1 l of water.", "l", "liter"},
        {"It is 20°C outside.", "20°C", "twenty degrees celsius", {"twenty degrees"}},
        {"The limit is 60 mph.", "mph", "miles per hour"},
        {"It is 10 m long.", "m", "meters"},
        {"Say m twice.", "m", "m"},
        // Abbreviations: a title before a name, a place after one.
        {"Dr. Lee is in.", "Dr.", "doctor", {"drive"}},
        {"He lives on Mulberry Dr. now.", "Dr.", "drive", {"doctor"}},
        {"We saw St. Paul's.", "St.", "saint", {"street"}},
        {"She lives on Baker St. now.", "St.", "street", {"saint"}},
        {"Turn onto 5th St. here.", "St.", "street"},
        {"Mr. Brown paid 3.5 dollars.", "Mr.", "mister"},
        {"Mrs Brown met Ms. Lee", "Mrs", "missus"},
        {"Bring fruit, e.g. apples.", "e.g.", "for example"},
        {"Pens, paper, etc. are here.", "etc.", "et cetera"},
        {"She moved to the U.S. in May.", "U.S.", "u s", {"united states"}},
        {"No. 5 is mine.", "No.", "number"},
        {"I said no.", "no", "no"},
        {"“It’s” 105 & 2005", "It’s", "it's"},
        {"“It’s” 105 & 2005", "&", "and"},
        // What reads as nothing else is read as its digits.
        {"The time 25:99 is wrong.", "25:99", "twenty five ninety nine"},
        {"Divide 1/0 now.", "1/0", "one zero"},
        {"Wait 7: then go.", "7", "seven"},
        {"Print it on A4 paper.", "A4", "a four"},
        {"Pay $ or $. now 12:60pm", "now", "now"},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.sentence.toStdString() + " / " + form.written.toStdString());
        const QList<SpokenToken> tokens = spokenTokens(form.sentence);
        for (const SpokenToken& token : tokens)
            expectSpokenOnly(token, form.sentence);
        const int from = int(form.sentence.indexOf(form.written));
        const auto token = std::find_if(tokens.begin(), tokens.end(), [&](const SpokenToken& t) { return t.from == from; });
        if (token == tokens.end()) {
            ADD_FAILURE() << "no written word starts there";
            continue;
        }
        EXPECT_EQ(form.sentence.mid(token->from, token->length).toStdString(), form.written.toStdString());
        EXPECT_EQ(token->sayings.value(0).toStdString(), form.first.toStdString()) << shown(token->sayings);
        for (const QString& other : form.others)
            EXPECT_TRUE(token->sayings.contains(other)) << other.toStdString() << " not in " << shown(token->sayings);
    }
}
