#include "TimingLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>

namespace coursedata {

namespace {
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


// The bytes [first, end) of the line as a string of their own; bytes past the
// line's end count as absent.
std::string field(const char* line, std::size_t length, std::size_t first, std::size_t end)
{
    return first < length ? std::string(line + first, std::min(end, length) - first) : std::string();
}

}  // namespace

double timingLineStart(const char* line, std::size_t length)
{
    const int32_t minutes = readInteger(field(line, length, kMinutesField, kMinutesEnd).c_str());
    const double seconds = readDecimal(field(line, length, kSecondsField, kSecondsEnd).c_str());
    return static_cast<double>(minutes * 60) + seconds;
}

}  // namespace coursedata
