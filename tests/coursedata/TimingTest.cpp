#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<double> readTimes(const std::string& bytes, int32_t capacity, int32_t* stored = nullptr)
{
    ScratchFolder scratch;
    std::vector<double> times(capacity + 1, -7.0);  // one sentinel past the capacity
    int32_t n = dllReadAllTimeInfo(scratch.write("tlx1001.lrc", bytes).c_str(), times.data(), capacity);
    if (stored != nullptr)
        *stored = n;
    return times;
}

struct LineCase {
    const char* line;
    double seconds;
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) { return out << c.line; }

class TimingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(TimingLine, ConvertsTheFixedPositionFields)
{
    int32_t stored = 0;
    auto times = readTimes(std::string(GetParam().line) + "\r\n", 1, &stored);
    EXPECT_EQ(stored, 1);
    EXPECT_DOUBLE_EQ(times[0], GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, TimingLine,
    ::testing::Values(LineCase{"[00:00.00]One.", 0.0}, LineCase{"[00:03.25] Two.", 3.25},
                      LineCase{"[01:02.34]Three.", 62.34}, LineCase{"[12:59.99]", 779.99},
                      // One minute digit shifts the seconds field.
                      LineCase{"[1:12.50]", 62.5},
                      // A third fraction digit lies past the seconds field.
                      LineCase{"[01:02.345]", 62.34},
                      // Without a fraction the closing bracket ends the number.
                      LineCase{"[01:02]", 62.0},
                      // Tag lines and junk give what their fields start with.
                      LineCase{"[ti:Lesson one]", 0.0}, LineCase{"[ar:Somebody]", 0.0},
                      LineCase{"[00: 7.5 ]", 7.5}, LineCase{"[-1:30.00]", -30.0},
                      // Only decimal numbers count: no infinities, no hexadecimal.
                      LineCase{"[00:inf  ]", 0.0}, LineCase{"[00:0x1p3]", 0.0}, LineCase{"[00:nan  ]", 0.0},
                      LineCase{"[00:1e2  ]", 100.0}, LineCase{"[00:.5   ]", 0.5}));

TEST(Timing, ReadsOneValuePerLineInOrder)
{
    int32_t stored = 0;
    auto times = readTimes("[00:00.50]A.\r\n[00:02.00]B.\r\n[00:04.75]C.\r\n", 5, &stored);
    EXPECT_EQ(stored, 3);
    EXPECT_EQ(times, (std::vector<double>{0.5, 2.0, 4.75, -7.0, -7.0, -7.0}));
}

TEST(Timing, NeverStoresPastTheCapacity)
{
    int32_t stored = 0;
    auto times = readTimes("[00:01.00]\r\n[00:02.00]\r\n[00:03.00]\r\n[00:04.00]\r\n", 2, &stored);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(times, (std::vector<double>{1.0, 2.0, -7.0}));

    EXPECT_EQ(dllReadAllTimeInfo("/no/such.lrc", nullptr, 4), 0);
    double untouched = -7.0;
    EXPECT_EQ(dllReadAllTimeInfo("/no/such.lrc", &untouched, 0), 0);
    EXPECT_EQ(untouched, -7.0);
}

TEST(Timing, ShortLineDoesNotReuseBytesOfAnEarlierLine)
{
    auto times = readTimes("[01:02.34]long line\r\n[5\r\n", 2);
    EXPECT_DOUBLE_EQ(times[0], 62.34);
    EXPECT_DOUBLE_EQ(times[1], 300.0);
}

TEST(Timing, EmptyOrMissingFileStoresNothing)
{
    int32_t stored = -1;
    auto times = readTimes("", 3, &stored);
    EXPECT_EQ(stored, 0);
    EXPECT_EQ(times[0], -7.0);

    double table[3] = {0, 0, 0};
    EXPECT_EQ(dllReadAllTimeInfo("/no/such/tlx1001.lrc", table, 3), 0);
}

}  // namespace
