// Sentence start times from a lesson's timing file: one line per sentence,
// "[mm:ss.xx]" at fixed byte positions, the rest of the line ignored.

#include "LineReader.h"
#include "lexbaydll.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string>

using namespace coursedata;

namespace {

constexpr std::size_t kTimingLineBuffer = 798;
constexpr std::size_t kMinutesField = 1;  // ends at the ':' at position 3
constexpr std::size_t kMinutesEnd = 3;
constexpr std::size_t kSecondsField = 4;  // ends at the ']' at position 9
constexpr std::size_t kSecondsEnd = 9;

const char* skipBlanks(const char* p)
{
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    return p;
}

// Decimal integer: leading blanks, an optional sign, digits; 0 without digits.
int32_t readInteger(const char* field)
{
    const char* p = skipBlanks(field);
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    int32_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

// Decimal number with optional fraction and exponent; 0 without a number.
// Read independently of the process locale (the window sets the user's
// locale, in which the decimal separator may be a comma), and without the
// infinities and hexadecimal forms a general number parser would accept.
double readDecimal(const char* field)
{
    const char* p = skipBlanks(field);
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    const char* start = p;
    while (std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    bool hasDigits = p != start;
    if (*p == '.') {
        const char* fraction = ++p;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
        hasDigits = hasDigits || p != fraction;
    }
    if (!hasDigits)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-')
            ++q;
        if (std::isdigit(static_cast<unsigned char>(*q))) {
            while (std::isdigit(static_cast<unsigned char>(*q)))
                ++q;
            p = q;
        }
    }
    // from_chars takes no leading '+', and the sign was read above.
    std::string number(start, p);
    if (number[0] == '.')
        number.insert(number.begin(), '0');
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return negative ? -value : value;
}

}  // namespace

int32_t dllReadAllTimeInfo(const char* timingFile, double* times, int32_t capacity)
{
    if (times == nullptr || capacity <= 0)
        return 0;
    LineReader reader(timingFile, kTimingLineBuffer);
    int32_t stored = 0;
    while (stored < capacity) {
        // A short line must not pick up bytes of an earlier, longer one:
        // what the line does not hold counts as absent.
        reader.clearLine();
        if (!reader.next())
            break;
        char* line = reader.line();
        line[kMinutesEnd] = '\0';
        line[kSecondsEnd] = '\0';
        int32_t minutes = readInteger(line + kMinutesField);
        double seconds = readDecimal(line + kSecondsField);
        times[stored++] = static_cast<double>(minutes * 60) + seconds;
    }
    return stored;
}
