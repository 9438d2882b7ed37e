#include "platform/audio/GstSoundDeviceChoice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Direction = GstSoundDeviceChoice::Direction;

// Devices no machine has, and devices that open but fail on their first
// buffer.
const QString kNoSink = QStringLiteral("alsasink device=hw:99,0");
const QString kNoSource = QStringLiteral("alsasrc device=hw:99,0");
const QString kSinkFailingOnFirstBuffer = QStringLiteral("identity error-after=1 ! fakesink");
const QString kSourceFailingOnFirstBuffer = QStringLiteral("audiotestsrc is-live=true ! identity error-after=1");
const QString kSink = QStringLiteral("fakesink sync=true");
const QString kSource = QStringLiteral("audiotestsrc is-live=true");

struct ChoiceCase {
    const char* name;
    Direction direction;
    std::vector<QString> devices;
    QString chosen;  // empty: the silent stand-in
};

void PrintTo(const ChoiceCase& value, std::ostream* out)
{
    *out << value.name;
}

class ChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceTest, TheFirstDeviceThatPassesABufferIsChosen)
{
    GstSoundDeviceChoice choice(GetParam().direction, GetParam().devices);
    choice.prepare();
    const GstSoundDeviceChoice::Endpoint endpoint = choice.endpoint();
    if (GetParam().chosen.isEmpty()) {
        EXPECT_TRUE(endpoint.isStandIn()) << endpoint.description.toStdString();
        EXPECT_FALSE(endpoint.missingReason.isEmpty());
        EXPECT_EQ(std::count(GetParam().devices.begin(), GetParam().devices.end(), endpoint.description), 0);
    } else {
        EXPECT_EQ(endpoint.description, GetParam().chosen);
        EXPECT_FALSE(endpoint.isStandIn());
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, ChoiceTest,
    ::testing::Values(ChoiceCase{"FirstOutput", Direction::Output, {kSink, kNoSink}, kSink},
        ChoiceCase{"OutputAfterAMissingOne", Direction::Output, {kNoSink, kSink}, kSink},
        ChoiceCase{"OutputAfterOneFailingOnItsFirstBuffer", Direction::Output, {kSinkFailingOnFirstBuffer, kSink},
            kSink},
        ChoiceCase{"NoOutput", Direction::Output, {kNoSink, kSinkFailingOnFirstBuffer}, {}},
        ChoiceCase{"InputAfterAMissingOne", Direction::Input, {kNoSource, kSource}, kSource},
        ChoiceCase{"InputAfterOneFailingOnItsFirstBuffer", Direction::Input, {kSourceFailingOnFirstBuffer, kSource},
            kSource},
        ChoiceCase{"NoInput", Direction::Input, {kNoSource, kSourceFailingOnFirstBuffer}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GstSoundDeviceChoice, ADeviceThatFailsLaterIsLeftForTheNextAndTheStandInSaysWhy)
{
    const QString other = QStringLiteral("fakesink sync=false");
    GstSoundDeviceChoice choice(Direction::Output, {kSink, other});
    ASSERT_EQ(choice.endpoint().description, kSink);
    choice.failed(kSink, QStringLiteral("the server went away"));
    // A second report of the same failure, from another player, changes nothing.
    choice.failed(kSink, QStringLiteral("the server went away"));
    EXPECT_EQ(choice.endpoint().description, other);
    choice.failed(other, QStringLiteral("unplugged"));
    const GstSoundDeviceChoice::Endpoint standIn = choice.endpoint();
    EXPECT_TRUE(standIn.isStandIn());
    EXPECT_EQ(standIn.missingReason, QStringLiteral("the server went away"));
}

}  // namespace
