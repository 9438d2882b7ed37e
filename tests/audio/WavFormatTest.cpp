#include "AudioFixtures.h"
#include "WavFiles.h"
#include "platform/audio/WavFormat.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(WavFormat, TheShippedTemplateIsSixteenBitMonoAt16kHz)
{
    const auto format = readWavFormat(blankTemplateWav());
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->channels, 1);
    EXPECT_EQ(format->sampleRate, 16000);
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_EQ(format->capsDescription(),
        QStringLiteral("audio/x-raw,format=S16LE,layout=interleaved,rate=16000,channels=1"));
}

TEST(WavFormat, EightBitSamplesAreUnsigned)
{
    EXPECT_EQ((WavFormat{2, 11025, 8}.capsDescription()),
        QStringLiteral("audio/x-raw,format=U8,layout=interleaved,rate=11025,channels=2"));
}

TEST(WavFormat, FindsFmtAfterOtherChunks)
{
    QTemporaryDir folder;
    QByteArray bytes = blankWav({2, 22050, 8});
    // A LIST chunk of odd length (padded) before `fmt `.
    bytes.insert(12, QByteArray("LIST\x05\x00\x00\x00" "abcde\x00", 14));
    const QString path = folder.filePath(QStringLiteral("t.wav"));
    writeFile(path, bytes);
    const auto format = readWavFormat(path);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(*format, (WavFormat{2, 22050, 8}));
}

struct Unusable {
    const char* name;
    QByteArray bytes;
};

void PrintTo(const Unusable& value, std::ostream* out)
{
    *out << value.name;
}

class UnusableTemplate : public ::testing::TestWithParam<Unusable> {};

TEST_P(UnusableTemplate, GivesNoFormat)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("t.wav"));
    writeFile(path, GetParam().bytes);
    EXPECT_FALSE(readWavFormat(path).has_value());
}

QByteArray withFormatTag(quint16 tag)
{
    QByteArray bytes = blankWav({1, 16000, 16});
    bytes[20] = static_cast<char>(tag & 0xff);
    bytes[21] = static_cast<char>(tag >> 8);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableTemplate,
    ::testing::Values(Unusable{"Empty", {}}, Unusable{"NotRiff", QByteArray("ID3\x04 not a wave at all")},
        Unusable{"NoFmtChunk", QByteArray("RIFF\x04\x00\x00\x00WAVE", 12)},
        Unusable{"Compressed", withFormatTag(0x55)}, Unusable{"TwentyFourBit", blankWav({1, 16000, 24})},
        Unusable{"CutShort", blankWav({1, 16000, 16}).left(30)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
