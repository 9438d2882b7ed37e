#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

namespace {

constexpr double kUnitsPerSecond = 1e7;
constexpr double kSecondsFrom1601To1970 = 11644473600.0;

TEST(Clock, StampCountsHundredNanosecondUnitsSince1601InWholeMilliseconds)
{
    std::time_t before = std::time(nullptr);
    double stamp = dllMyGetTime();
    std::time_t after = std::time(nullptr);

    double unixSeconds = stamp / kUnitsPerSecond - kSecondsFrom1601To1970;
    EXPECT_GE(unixSeconds, static_cast<double>(before));
    EXPECT_LT(unixSeconds, static_cast<double>(after) + 1.0);
    EXPECT_EQ(std::fmod(stamp, 10000.0), 0.0);
}

TEST(Clock, TimePassedCountsMillisecondsSinceAStamp)
{
    double stamp = dllMyGetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    int32_t passed = dllTimePassed(stamp);
    EXPECT_GE(passed, 119);
    EXPECT_LT(passed, 5000);

    double oneAndAHalfSecondsAgo = dllMyGetTime() - 1.5 * kUnitsPerSecond;
    EXPECT_NEAR(dllTimePassed(oneAndAHalfSecondsAgo), 1500, 20);
    EXPECT_LT(dllTimePassed(dllMyGetTime() + 10 * kUnitsPerSecond), -9000);
}

TEST(Clock, FractionsAreCutAndOnlyTheLow32BitsReturned)
{
    // Half a millisecond ago rounds down to 0 (or at most one tick later).
    EXPECT_LE(dllTimePassed(dllMyGetTime() - 5000.0), 1);
    // 2^32 + 5 ms ago wraps to about 5.
    double wrapped = dllMyGetTime() - (4294967296.0 + 5.0) * 10000.0;
    EXPECT_NEAR(dllTimePassed(wrapped), 5, 20);
    EXPECT_EQ(dllTimePassed(std::nan("")), 0);
}

struct CompareCase {
    const char* typed;
    const char* right;
    int32_t result;
};

std::ostream& operator<<(std::ostream& out, const CompareCase& c)
{
    return out << '"' << c.typed << "\" vs \"" << c.right << '"';
}

class Compare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(Compare, GivesMinusOneOrTheFirstWrongBytePosition)
{
    EXPECT_EQ(dllCompareSentence(GetParam().typed, GetParam().right), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Compare,
    ::testing::Values(CompareCase{"", "", -1}, CompareCase{"Tom is here.", "Tom is here.", -1},
                      CompareCase{"", "Tom is here.", 0}, CompareCase{"tom is here.", "Tom is here.", 0},
                      // Too short: the typed length.
                      CompareCase{"Tom is here", "Tom is here.", 11},
                      // Too long: the typed length, not the right one.
                      CompareCase{"Tom is here..", "Tom is here.", 13},
                      CompareCase{"Tom  is here.", "Tom is here.", 4}, CompareCase{"Tom IS here.", "Tom is here.", 4},
                      CompareCase{"abc", "", 3},
                      // Positions count bytes: a two-byte character before the error.
                      CompareCase{"\xc4\xe3 a", "\xc4\xe3 b", 3}));

TEST(CompareNull, NullTextsCountAsEmpty)
{
    EXPECT_EQ(dllCompareSentence(nullptr, nullptr), -1);
    EXPECT_EQ(dllCompareSentence("ab", nullptr), 2);
    EXPECT_EQ(dllCompareSentence(nullptr, "ab"), 0);
}

}  // namespace
