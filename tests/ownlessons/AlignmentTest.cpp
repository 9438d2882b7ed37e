// The aligner on a recording made here: voices other than the aligner's own,
// at their own paces, an announcement before the text, pauses of random
// length, a stumble, a sentence over two breaths, an abbreviation and a
// number read out, and noise 40 dB down. Every start must lie in the
// silence before its sentence's first speech: after the previous sentence's
// last speech and at most 0.5 s before its own, and where the boundary
// editor's snap would put it back after a drag into the sentence. A start
// then moved by hand has its sentence's words found again in the new span.

#include "MadeRecordings.h"
#include "WavFiles.h"

#include "boundaries/SilenceSnap.h"
#include "course/WordTimesFile.h"
#include "ownlessons/LessonImport.h"
#include "ownlessons/OwnVolume.h"
#include "ownlessons/SpanWords.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<double> timingFileStarts(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    std::vector<double> starts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.size() >= 10)
            starts.push_back(line.mid(1, 2).toInt() * 60 + line.mid(4, 5).toDouble());
    }
    return starts;
}

// One recording imported for the whole suite.
class AlignmentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite() { delete folder_; }

    static QTemporaryDir* folder_;
    static MadeRecording recording_;
    static ImportResult result_;
};

QTemporaryDir* AlignmentTest::folder_ = nullptr;
MadeRecording AlignmentTest::recording_;
ImportResult AlignmentTest::result_;

void AlignmentTest::SetUpTestSuite()
{
    folder_ = new QTemporaryDir;
    QTemporaryDir& folder = *folder_;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> pause(0.35, 2.5);
    const QStringList voices = {"en-gb", "en+m3", "en-gb-x-rp", "en+f2", "en-us+m5"};
    // What is spoken, and the text the learner has (equal but for the
    // stumble and the two breaths).
    const std::vector<std::pair<QString, QString>> sentences = {
        {"Excuse me, where is the station?", ""},
        {"She was a more a amiable woman than her sister.", "She was a more amiable woman than her sister."},
        {"Mister Brown lives on Saint James Street,", "Mr. Brown lives on St. James Street, near the old market."},
        {"near the old market.", ""},
        {"It cost three point five dollars, which is not much.", "It cost 3.5 dollars, which is not much."},
        {"Thank you very much for your help today.", ""},
        {"The train leaves at seven o'clock every morning.", ""},
        {"We walked along the river until the sun went down.", ""},
        {"Please close the window before you go to bed.", ""},
        {"My brother plays the piano better than I do.", ""},
    };
    std::vector<SpokenPart> parts = {{"Welcome to the listening course. Lesson one.", "en-us+f3", 180, 1.0}};
    QString text;
    for (size_t i = 0; i < sentences.size(); ++i) {
        const bool halfSentence = sentences[i].first.endsWith(',');
        parts.push_back({sentences[i].first, voices[int(i) % voices.size()], 150 + int(random() % 40),
                         halfSentence ? 0.6 : pause(random)});
        const QString written = sentences[i].second.isEmpty() ? sentences[i].first : sentences[i].second;
        if (!sentences[i].second.isEmpty() || !sentences[i ? i - 1 : 0].first.endsWith(','))
            text += written + "\n";
    }
    recording_ = makeRecording(folder.path(), "lesson", parts, -40);
    QFile textFile(folder.filePath("lesson.txt"));
    textFile.open(QIODevice::WriteOnly);
    textFile.write(text.toUtf8());
    textFile.close();

    ImportRequest request;
    request.booksFolder = folder.filePath("books");
    request.programFolder = LEXBAY_APP_DIR;
    request.volume = "听力";
    request.audioPath = recording_.path;
    request.textPath = textFile.fileName();
    result_ = importLesson(request);
}

TEST_F(AlignmentTest, EveryStartLiesInTheSilenceBeforeItsSentence)
{
    ASSERT_EQ(result_.error, QString());
    const ImportResult& result = result_;
    const MadeRecording& recording = recording_;
    const std::vector<double> starts = timingFileStarts(result.volumeFolder + "/tlx1001.lrc");

    // The sentences of the text in the recording's parts: part 0 is the
    // intro; the two breaths are one sentence.
    std::vector<size_t> firstPart = {1, 2, 3, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(starts.size(), firstPart.size());
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t p = firstPart[k];
        const double speech = recording.speechStart[p];
        const double previous = recording.speechEnd[p - 1];
        EXPECT_GE(starts[k], previous) << "sentence " << k + 1 << " starts in the one before";
        EXPECT_LE(starts[k], speech) << "sentence " << k + 1 << " cuts its own head";
        EXPECT_GE(starts[k], speech - 0.5) << "sentence " << k + 1 << " waits through the pause";
        std::printf("sentence %zu: start %.2f, speech %.2f, previous speech ends %.2f\n", k + 1, starts[k], speech,
                    previous);
    }
    // The editor and the import place a start alike: dragged 0.3 s into its
    // sentence and snapped, a start comes back to where the import put it.
    const WaveSummary summary = summariseRecording(result.volumeFolder + "/tlx1001.mp3");
    ASSERT_TRUE(summary.ok()) << summary.error.toStdString();
    QFile wordTimes(result.volumeFolder + "/tlx1001.wordtimes.tsv");
    ASSERT_TRUE(wordTimes.open(QIODevice::ReadOnly));
    const std::vector<double> firstWords = firstWordStarts(wordTimes.readAll(), int(starts.size()));
    wordTimes.close();
    for (size_t k = 1; k < starts.size(); ++k) {
        const StartRange range = startRange(starts, firstWords, summary.seconds(), int(k));
        const std::optional<double> snapped = snapToSilence(summary, std::min(starts[k] + 0.3, range.latest), range);
        ASSERT_TRUE(snapped.has_value()) << "sentence " << k + 1;
        EXPECT_NEAR(*snapped, starts[k], 0.05) << "sentence " << k + 1 << " snaps elsewhere";
    }
}

TEST_F(AlignmentTest, AStartMovedByHandHasItsWordsFoundAgainInItsNewSpan)
{
    ASSERT_EQ(result_.error, QString());
    const QString folder = result_.volumeFolder;
    const QString wordTimes = folder + "/tlx1001.wordtimes.tsv";
    const LessonTimes imported = lessonTimes(folder, 0);
    ASSERT_EQ(imported.starts.size(), 9u);
    // Sentence 5 ("Thank you very much…") starts 0.2 s earlier: its first
    // word moves with it, into the pause, as Alt+← moves it.
    const int moved = 4;
    QString error;
    setSentenceStarts(folder, 0, {{moved, imported.starts[moved] - 0.2}}, imported.recordingSeconds, &error);
    ASSERT_EQ(error, QString());
    EXPECT_NEAR(lessonTimes(folder, 0).firstWords[moved], imported.firstWords[moved] - 0.2, 0.011);
    const QByteArray otherSentences = readFile(wordTimes);

    const RealignedWords found = realignSentenceWords(folder, 0, {moved - 1, moved});
    ASSERT_EQ(found.error, QString());
    EXPECT_EQ(found.tried, 2);
    EXPECT_GE(found.verified, 1);
    const LessonTimes now = lessonTimes(folder, 0);
    EXPECT_NEAR(now.firstWords[moved], imported.firstWords[moved], 0.03) << "the first word stays in the pause";
    // The other sentences' words are as they were.
    const auto linesOf = [](const QByteArray& bytes, int sentence) {
        QList<QByteArray> lines;
        for (const QByteArray& line : bytes.split('\n'))
            if (line.startsWith(QByteArray::number(sentence) + '\t'))
                lines << line;
        return lines;
    };
    const QByteArray after = readFile(wordTimes);
    for (int k : {1, 2, 3, 6, 7, 8, 9})
        EXPECT_EQ(linesOf(after, k), linesOf(otherSentences, k)) << "sentence " << k;
    // A sentence whose span is as before keeps its words to the hundredth.
    const RealignedWords again = realignSentenceWords(folder, 0, {moved});
    EXPECT_EQ(again.verified, 1);
    EXPECT_NEAR(lessonTimes(folder, 0).firstWords[moved], now.firstWords[moved], 0.011);
}

}  // namespace
