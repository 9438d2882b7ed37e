// Which H.264 access units an exact seek may leave undecoded on its way to
// the wanted frame: only pictures that nothing refers to.

#include "platform/video/GstLeadInSkip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A NAL unit with header byte `header` and a few bytes of payload, in the
// byte-stream format (start code) or with a length field of `lengthSize`.
Bytes unit(std::uint8_t header, int lengthSize)
{
    const Bytes payload = {header, 0x88, 0x84, 0x21, 0xa0};
    Bytes out;
    if (lengthSize == 0)
        out = {0, 0, 0, 1};
    for (int i = lengthSize - 1; i >= 0; --i)
        out.push_back(std::uint8_t(payload.size() >> (8 * i)));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes units(std::initializer_list<std::uint8_t> headers, int lengthSize)
{
    Bytes out;
    for (std::uint8_t header : headers) {
        const Bytes one = unit(header, lengthSize);
        out.insert(out.end(), one.begin(), one.end());
    }
    return out;
}

// Header bytes: nal_ref_idc in bits 5-6, the unit type in bits 0-4.
constexpr std::uint8_t kUnreferencedSlice = 0x01, kReferencedSlice = 0x21, kIdrSlice = 0x65, kSei = 0x06,
                       kDelimiter = 0x09, kSequenceSet = 0x67, kPictureSet = 0x68, kForbidden = 0x81;

TEST(H264LeadIn, OnlyPicturesNothingRefersToAreLeftOut)
{
    const struct {
        const char* what;
        std::initializer_list<std::uint8_t> headers;
        bool leftOut;
    } rows[] = {
        {"a B frame nothing refers to", {kUnreferencedSlice}, true},
        {"the same after a delimiter and an SEI", {kDelimiter, kSei, kUnreferencedSlice, kUnreferencedSlice}, true},
        {"a referenced B or P frame", {kReferencedSlice}, false},
        {"a key frame", {kIdrSlice}, false},
        {"parameter sets before an unreferenced slice", {kSequenceSet, kPictureSet, kUnreferencedSlice}, false},
        {"no picture at all", {kDelimiter, kSei}, false},
        {"a forbidden bit set", {kForbidden}, false},
    };
    for (int lengthSize : {0, 1, 2, 4}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << row.what << ", length field " << lengthSize);
            const Bytes data = units(row.headers, lengthSize);
            EXPECT_EQ(h264UnitIsUnreferenced(data.data(), data.size(), lengthSize), row.leftOut);
        }
    }
}

TEST(H264LeadIn, MalformedUnitsAreKept)
{
    Bytes cut = units({kUnreferencedSlice}, 4);
    cut.pop_back();
    EXPECT_FALSE(h264UnitIsUnreferenced(cut.data(), cut.size(), 4)) << "a length past the end";
    const Bytes empty = {0, 0, 0, 0, kUnreferencedSlice};
    EXPECT_FALSE(h264UnitIsUnreferenced(empty.data(), empty.size(), 4)) << "a zero length";
    const Bytes noStartCode = {kUnreferencedSlice, 0x88, 0x84};
    EXPECT_FALSE(h264UnitIsUnreferenced(noStartCode.data(), noStartCode.size(), 0));
    EXPECT_FALSE(h264UnitIsUnreferenced(nullptr, 0, 0));
}

}  // namespace
