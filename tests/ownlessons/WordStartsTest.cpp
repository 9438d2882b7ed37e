// The word times the aligner gives, against a voice that says when each
// word begins: festival reads the sentences and writes its own word
// starts, which the aligner has never seen. Every sentence is found, and
// its words begin where festival began them: on average within 25 ms, and
// the share asked within 50 ms — for a diphone voice and for a
// statistical one, and under a bed of music 20 dB down, where no sentence
// may start after its own first sound; under steady noise 15 dB down
// every sentence is still found, nine words in ten within 100 ms. The same
// reading 6 dB quieter, with another dither, gets the same verdicts and
// times.

#include "MadeRecordings.h"

#include "ownlessons/SentenceAligner.h"
#include "platform/analysis/AudioDecoding.h"
#include "WavFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Festival's reading of a sentence into a WAV file, and each word's start
// (seconds into the file) in a file beside it.
const char* const kReading = R"((voice_%4)
(Parameter.set 'Duration_Stretch %5)
(set! utt (utt.synth (Utterance Text "%1")))
(utt.save.wave utt "%2" 'riff)
(set! fd (fopen "%3" "w"))
(mapcar (lambda (w) (format fd "%f\n" (item.feat w "R:SylStructure.daughter1.daughter1.segment_start")))
  (utt.relation.items utt 'Word))
(fclose fd)
)";

enum class Bed { None, Music, Noise };

struct Voice {
    const char* name;
    double stretch;
    int withinPercent;  // of the word starts at most `within` off
    Bed bed = Bed::None;
    double bedUnderSpeechDb = 0;  // how far under the speech the bed lies
    double within = 0.05;  // seconds
    double meanLimit = 0.025;  // of the word starts' error, seconds
    // Aligned again 6 dB quieter with another dither of one 16-bit step (the
    // voice's peaks reach full scale: 6 dB louder would clip them): the
    // same verdicts and sentence starts, every word within 100 ms, and at
    // most one in twenty more than 10 ms apart (a boundary between two words
    // the decoder may place a few frames apart).
    bool againQuieter = false;
};

// The recording with a bed of music or white noise `underDb` under its
// speech, at the analysis rate.
QString withBed(const QString& path, Bed bed, double underDb)
{
    std::vector<float> samples = decodeAudio(path).samples;
    double sum = 0;
    for (float x : samples)
        sum += double(x) * x;
    // The speech fills about half of the recording.
    const double speech = std::sqrt(2 * sum / double(std::max<size_t>(1, samples.size())));
    const double level = speech * std::pow(10.0, -underDb / 20);
    if (bed == Bed::Music) {
        addMusicBed(&samples, kAnalysisRate, level);
    } else {
        std::mt19937 random(7);
        std::normal_distribution<float> noise(0.f, float(level));
        for (float& x : samples)
            x += noise(random);
    }
    const QString bedded = path + ".bed.wav";
    writeMonoWav(bedded, samples, kAnalysisRate);
    return bedded;
}

std::string nameOf(const Voice& voice)
{
    const char* const beds[] = {"", "_music_bed", "_noise"};
    return std::string(voice.name) + beds[int(voice.bed)];
}

class WordStartsTest : public testing::TestWithParam<Voice> {};

TEST_P(WordStartsTest, WordsBeginWhereTheVoiceBeganThem)
{
    const Voice voice = GetParam();
    const QStringList prose = {
        "The baker opened his shop before the sun came up.",
        "Children were waiting outside with small coins in their hands.",
        "He gave each of them a warm roll and a smile.",
        "Later that morning the rain began to fall on the quiet street.",
        "Her brother found the broken clock for an hour, although the weather was bad.",
    };
    // Under music, short last words, which the model would stretch over the pause after them.
    const QStringList turns = {
        "Will my insurance pay for it?",
        "Yes, and your blood pressure too, if you know it.",
        "It was about one hundred and twenty over eighty, I think.",
        "Most plans pay eighty percent, so you pay the rest of it.",
        "Thank you so much, see you next week.",
    };
    const QStringList& text = voice.bed == Bed::Music ? turns : prose;
    QTemporaryDir folder;
    std::vector<SpokenPart> parts;
    std::vector<std::vector<double>> known;
    for (int k = 0; k < text.size(); ++k) {
        const QString wav = QDir(folder.path()).filePath(QString("festival%1.wav").arg(k));
        const QString starts = wav + ".starts", script = wav + ".scm";
        writeFile(script, QString(kReading).arg(text[k], wav, starts, voice.name).arg(voice.stretch).toUtf8());
        ASSERT_TRUE(runTool("festival", {"-b", script}));
        std::vector<double> words;
        for (const QByteArray& line : readFile(starts).split('\n'))
            if (!line.trimmed().isEmpty())
                words.push_back(line.toDouble());
        known.push_back(words);
        parts.push_back({text[k], {}, 0, 0.4 + 0.15 * k, wav});
    }
    const MadeRecording recording = makeRecording(folder.path(), "lesson", parts, -45);
    const QString heard =
        voice.bed != Bed::None ? withBed(recording.path, voice.bed, voice.bedUnderSpeechDb) : recording.path;
    const SentenceAlignment alignment = alignRecording(text, heard, 120);
    ASSERT_EQ(alignment.error, QString());
    ASSERT_EQ(alignment.sentences.size(), size_t(text.size()));
    std::vector<double> errors;
    for (int k = 0; k < text.size(); ++k) {
        const SentenceTiming& timing = alignment.sentences[size_t(k)];
        EXPECT_GE(timing.confidence, kUnsureConfidence) << "sentence " << k + 1;
        ASSERT_EQ(timing.words.size(), qsizetype(known[size_t(k)].size())) << "sentence " << k + 1;
        EXPECT_LE(timing.start, recording.partStart[size_t(k)] + known[size_t(k)].front())
            << "sentence " << k + 1 << " starts after its first sound";
        for (qsizetype w = 0; w < timing.words.size(); ++w)
            errors.push_back(std::abs(timing.words[w].start - (recording.partStart[size_t(k)] + known[size_t(k)][size_t(w)])));
    }
    double sum = 0;
    int within = 0;
    for (double e : errors) {
        sum += e;
        within += e <= voice.within;
    }
    EXPECT_LE(sum / double(errors.size()), voice.meanLimit);
    EXPECT_GE(100 * within, int(errors.size()) * voice.withinPercent);
    if (!voice.againQuieter)
        return;
    std::vector<float> samples = decodeAudio(heard).samples;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> dither(-1.f / 32768, 1.f / 32768);
    for (float& x : samples)
        x = x / 2 + dither(random);
    const QString quieter = heard + ".quieter.wav";
    writeMonoWav(quieter, samples, kAnalysisRate);
    const SentenceAlignment again = alignRecording(text, quieter, 120);
    ASSERT_EQ(again.sentences.size(), alignment.sentences.size());
    int apart = 0;
    for (size_t k = 0; k < again.sentences.size(); ++k) {
        const SentenceTiming &a = alignment.sentences[k], &b = again.sentences[k];
        EXPECT_EQ(a.confidence >= kUnsureConfidence, b.confidence >= kUnsureConfidence) << "sentence " << k + 1;
        EXPECT_NEAR(a.start, b.start, 0.0105) << "sentence " << k + 1;
        ASSERT_EQ(a.words.size(), b.words.size()) << "sentence " << k + 1;
        for (qsizetype w = 0; w < a.words.size(); ++w) {
            EXPECT_NEAR(a.words[w].start, b.words[w].start, 0.1) << "sentence " << k + 1 << ", word " << w + 1;
            apart += std::abs(a.words[w].start - b.words[w].start) > 0.0105;
        }
    }
    EXPECT_EQ(apart, 0) << apart << " words more than 10 ms apart";
}

INSTANTIATE_TEST_SUITE_P(Voices, WordStartsTest,
                         testing::Values(Voice{"kal_diphone", 0.8, 90, Bed::None, 0, 0.05, 0.025, true},
                                         Voice{"cmu_us_slt_arctic_hts", 0.8, 95, Bed::None, 0, 0.05, 0.025, true},
                                         Voice{"kal_diphone", 0.8, 90, Bed::Music, 20},
                                         Voice{"cmu_us_slt_arctic_hts", 0.8, 90, Bed::Noise, 15, 0.1, 0.05}),
                         [](const testing::TestParamInfo<Voice>& info) { return nameOf(info.param); });

}  // namespace
