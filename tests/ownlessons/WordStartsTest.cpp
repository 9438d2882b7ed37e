// The word times the aligner gives, against a voice that says when each
// word begins: festival reads the sentences and writes its own word
// starts, which the aligner has never seen. Every sentence is found, and
// its words begin where festival began them: on average within 25 ms, and
// the share asked within 50 ms — for a diphone voice and for a
// statistical one.

#include "MadeRecordings.h"

#include "ownlessons/SentenceAligner.h"
#include "WavFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

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

struct Voice {
    const char* name;
    double stretch;
    int withinPercent;  // of the word starts at most 50 ms off
};

class WordStartsTest : public testing::TestWithParam<Voice> {};

TEST_P(WordStartsTest, WordsBeginWhereTheVoiceBeganThem)
{
    const Voice voice = GetParam();
    const QStringList text = {
        "The baker opened his shop before the sun came up.",
        "Children were waiting outside with small coins in their hands.",
        "He gave each of them a warm roll and a smile.",
        "Later that morning the rain began to fall on the quiet street.",
        "Her brother found the broken clock for an hour, although the weather was bad.",
    };
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
    const SentenceAlignment alignment = alignRecording(text, recording.path, 120);
    ASSERT_EQ(alignment.error, QString());
    ASSERT_EQ(alignment.sentences.size(), size_t(text.size()));
    std::vector<double> errors;
    for (int k = 0; k < text.size(); ++k) {
        const SentenceTiming& timing = alignment.sentences[size_t(k)];
        EXPECT_GE(timing.confidence, kUnsureConfidence) << "sentence " << k + 1;
        ASSERT_EQ(timing.words.size(), qsizetype(known[size_t(k)].size())) << "sentence " << k + 1;
        for (qsizetype w = 0; w < timing.words.size(); ++w)
            errors.push_back(std::abs(timing.words[w].start - (recording.partStart[size_t(k)] + known[size_t(k)][size_t(w)])));
    }
    double sum = 0;
    int within = 0;
    for (double e : errors) {
        sum += e;
        within += e <= 0.05;
    }
    EXPECT_LE(sum / double(errors.size()), 0.025);
    EXPECT_GE(100 * within, int(errors.size()) * voice.withinPercent);
}

INSTANTIATE_TEST_SUITE_P(Voices, WordStartsTest,
                         testing::Values(Voice{"kal_diphone", 0.8, 90}, Voice{"cmu_us_slt_arctic_hts", 0.8, 95}),
                         [](const testing::TestParamInfo<Voice>& info) { return std::string(info.param.name); });

}  // namespace
