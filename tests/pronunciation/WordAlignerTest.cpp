// The own-lesson word aligner on Debian's human test readings laid end to
// end: a sentence's words decoded with free phones at the grammar's edges
// are found on that sentence's reading, in order, whatever other speech
// comes before or after it, and at the same frames whichever decoder
// decodes them and whatever it decoded before. The joins between its words
// are weighed alike wherever the decoder put them, on the model's own
// files, which are refused by name when one is missing or cut short.

#include "WavFiles.h"
#include "platform/pronunciation/SpokenWords.h"
#include "platform/pronunciation/WordAligner.h"
#include "platform/pronunciation/WordBoundary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

namespace {

const QString kReadings = QStringLiteral(LEXBAY_HUMAN_READINGS "/sense_and_sensibility_01_austen_64kb-");
constexpr int kRate = 16000;
constexpr int kPauseSamples = kRate * 3 / 10;

std::vector<float> samplesOf(const QString& reading)
{
    const QString path = kReadings + reading + ".wav";
    const WavLayout layout = readWavLayout(path);
    const QByteArray bytes = readFile(path);
    std::vector<float> samples;
    for (qint64 at = layout.dataEnd - layout.dataSize; at + 1 < layout.dataEnd; at += 2)
        samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + at) / 32768.f);
    return samples;
}

std::vector<SaidWord> saidWords(const QString& text)
{
    std::vector<SaidWord> said;
    for (const SpokenToken& token : spokenTokens(text))
        said.push_back(token.sayings);
    return said;
}

struct Take {
    const char* name;
    QStringList before;  // readings said before the sentence's, 0.3 s apart
    QStringList after;
    // Decoded again on the same decoder, and on a second one that decoded
    // other speech just before: each must find the same frames.
    bool again = false;
    // Decoded again in a window reaching this many frames around the
    // sentence's reading alone: the same frames, each heard as in the whole.
    int ownWindow = 0;
};

bool sameWords(const WordDecoding& a, const WordDecoding& b)
{
    return std::equal(a.words.begin(), a.words.end(), b.words.begin(), b.words.end(),
                      [](const AlignedWord& x, const AlignedWord& y) {
                          return x.part == y.part && x.index == y.index && x.startFrame == y.startFrame
                                 && x.endFrame == y.endFrame && x.acousticScore == y.acousticScore;
                      });
}

std::string framesOf(const WordDecoding& decoding)
{
    std::string text;
    for (const AlignedWord& word : decoding.words)
        text += std::to_string(word.index) + ":" + std::to_string(word.startFrame) + "-"
                + std::to_string(word.endFrame) + " ";
    return text;
}

// The sentence of reading 0880 decoded on its own, each written word said
// its first way; filled in place, as the aligner reads the pronunciations.
struct ReadSentence {
    std::vector<SaidWord> said = saidWords("He was not an ill-disposed young man.");
    WordPronunciations pronunciations;
    std::unique_ptr<WordAligner> aligner;
    std::vector<float> samples = samplesOf("0880");
    ModelFrames frames;
    WordDecoding found;

    QString phonesOf(const AlignedWord& word) const
    {
        return pronunciations.value(said[size_t(word.index)].first()).value(0);
    }
    // Two neighbours that touch, each said as one spoken word.
    bool touching(const AlignedWord& a, const AlignedWord& b) const
    {
        return b.startFrame == a.endFrame + 1 && !said[size_t(a.index)].first().contains(' ')
               && !said[size_t(b.index)].first().contains(' ');
    }
};

void readSentence(ReadSentence* read)
{
    QStringList words;
    for (const SaidWord& saying : read->said)
        words << saying.first().split(' ');
    read->pronunciations = pronunciationsOf(words);
    QString error;
    read->aligner = WordAligner::create(read->pronunciations, &error);
    ASSERT_TRUE(read->aligner) << qPrintable(error);
    read->aligner->feed(read->samples.data(), read->samples.size());
    read->frames = read->aligner->finishFrames();
    WordGrammar grammar;
    grammar.words = read->said;
    read->found = read->aligner->decodeWords(read->frames, 0, read->frames.frames(), grammar);
    ASSERT_TRUE(read->found.complete);
}

}  // namespace

TEST(WordAligner, FindsASentencesWordsAmongOtherSpeech)
{
    const QString sentence = "He was not an ill-disposed young man.";
    const Take takes[] = {
        {"the sentence alone", {}, {}},
        {"another sentence before it", {"0890"}, {}},
        {"another sentence after it", {}, {"0930"}},
        {"long speech on both sides", {"0870", "0890"}, {"0920", "0930"}},
        {"decoded again, and on a decoder that heard other speech", {"0870"}, {"0920"}, true},
        {"decoded again in a window of its own reading", {"0870", "0890"}, {"0920", "0930"}, false, 20},
    };
    QStringList words;
    for (const SaidWord& said : saidWords(sentence))
        for (const QString& saying : said)
            words << saying.split(' ');
    const WordPronunciations pronunciations = pronunciationsOf(words);
    QString error;
    std::unique_ptr<WordAligner> aligner = WordAligner::create(pronunciations, &error);
    ASSERT_TRUE(aligner) << qPrintable(error);
    const std::vector<float> own = samplesOf("0880");
    ASSERT_FALSE(own.empty());
    WordGrammar grammar;
    grammar.words = saidWords(sentence);
    grammar.freeEdges = true;

    for (const Take& take : takes) {
        SCOPED_TRACE(take.name);
        std::vector<float> samples;
        const auto say = [&](const std::vector<float>& reading) {
            samples.insert(samples.end(), reading.begin(), reading.end());
            samples.insert(samples.end(), kPauseSamples, 0.f);
        };
        for (const QString& reading : take.before)
            say(samplesOf(reading));
        const int ownFrom = int(samples.size()) / (kRate / 100);
        say(own);
        const int ownTo = ownFrom + int(own.size()) / (kRate / 100);
        for (const QString& reading : take.after)
            say(samplesOf(reading));
        aligner->feed(samples.data(), samples.size());
        const ModelFrames frames = aligner->finishFrames();

        const WordDecoding found = aligner->decodeWords(frames, 0, frames.frames(), grammar);
        ASSERT_TRUE(found.complete);
        if (take.again) {
            const WordDecoding same = aligner->decodeWords(frames, 0, frames.frames(), grammar);
            EXPECT_TRUE(sameWords(same, found)) << framesOf(found) << "then " << framesOf(same);
            std::unique_ptr<WordAligner> other = WordAligner::create(pronunciations, &error);
            ASSERT_TRUE(other) << qPrintable(error);
            const int half = frames.frames() / 2;
            other->decodePhones(frames, half, frames.frames());
            WordGrammar elsewhere = grammar;
            elsewhere.words.pop_back();
            other->decodeWords(frames, half / 2, frames.frames(), elsewhere);
            const WordDecoding there = other->decodeWords(frames, 0, frames.frames(), grammar);
            EXPECT_TRUE(sameWords(there, found)) << framesOf(found) << "there " << framesOf(there);
        }
        if (take.ownWindow > 0) {
            const WordDecoding own =
                aligner->decodeWords(frames, ownFrom - take.ownWindow, ownTo + take.ownWindow, grammar);
            EXPECT_EQ(framesOf(own), framesOf(found));
        }
        std::vector<int> starts(grammar.words.size(), -1);
        int lastEnd = -1;
        for (const AlignedWord& word : found.words)
            if (word.part == AlignedWord::Word) {
                if (starts[size_t(word.index)] < 0)
                    starts[size_t(word.index)] = word.startFrame;
                lastEnd = word.endFrame;
            }
        for (size_t w = 0; w < starts.size(); ++w) {
            EXPECT_GE(starts[w], ownFrom) << "word " << w;
            EXPECT_LT(starts[w], ownTo) << "word " << w;
            if (w > 0) {
                EXPECT_GT(starts[w], starts[w - 1]) << "word " << w;
            }
        }
        EXPECT_LE(lastEnd, ownTo);
    }
}

// A "wh" word is heard as most say it, without the h the dictionary also
// gives it; a word that begins with an h keeps it.
TEST(WordAligner, HearsAWhWordWithoutItsH)
{
    const WordPronunciations found = pronunciationsOf({"while", "who"});
    EXPECT_EQ(found.value("while").join(", ").toStdString(), "W AY L");
    EXPECT_EQ(found.value("who").join(", ").toStdString(), "HH UW");
}

// The decoder's join of two touching words moved by up to three frames, as
// when another way through nearly ties with its best, moves the weighed
// join by a frame at most. Phones the model lacks leave the join as it was.
TEST(WordJoin, WeighsAJoinAlikeWhereverTheDecoderPutIt)
{
    ReadSentence read;
    ASSERT_NO_FATAL_FAILURE(readSentence(&read));
    FrameScores scores(*PhoneStates::shared(), read.frames);
    int joins = 0;
    for (size_t w = 0; w + 1 < read.found.words.size(); ++w) {
        const AlignedWord &first = read.found.words[w], &second = read.found.words[w + 1];
        if (!read.touching(first, second))
            continue;
        ++joins;
        const QString a = read.phonesOf(first), b = read.phonesOf(second);
        const auto weighedAt = [&](int shift) {
            return likelyJoin(scores, a, b,
                              {first.startFrame, first.endFrame + 1 + shift, second.startFrame + shift,
                               second.endFrame + 1});
        };
        const WordJoin there = weighedAt(0);
        for (const int shift : {-3, -2, -1, 1, 2, 3}) {
            const WordJoin moved = weighedAt(shift);
            EXPECT_NEAR(moved.secondStart, there.secondStart, 1) << qPrintable(a + " | " + b) << ", moved " << shift;
            EXPECT_NEAR(moved.firstEnd, there.firstEnd, 1) << qPrintable(a + " | " + b) << ", moved " << shift;
        }
        const WordJoin decoded{first.startFrame, first.endFrame + 2, second.startFrame + 1, second.endFrame + 1};
        const WordJoin unknown = likelyJoin(scores, a, "QQ " + b, decoded);
        EXPECT_EQ(unknown.firstEnd, decoded.firstEnd);
        EXPECT_EQ(unknown.secondStart, decoded.secondStart);
    }
    EXPECT_GE(joins, 3) << framesOf(read.found);
}

// The two words of a touching join pulled apart by 80 ms of silence, and
// the decoder's join given in the silence's middle: the first word ends
// where the silence begins and the second starts where it ends.
TEST(WordJoin, WeighsAPauseBetweenTwoWordsAsAPause)
{
    ReadSentence read;
    ASSERT_NO_FATAL_FAILURE(readSentence(&read));
    const std::vector<AlignedWord>& words = read.found.words;
    const auto touching = std::adjacent_find(words.begin(), words.end(),
                                             [&](auto& a, auto& b) { return read.touching(a, b); });
    ASSERT_NE(touching, words.end()) << framesOf(read.found);
    const AlignedWord &first = *touching, &second = *(touching + 1);

    constexpr int kPause = 8;
    const int join = second.startFrame;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> hiss(-1e-4f, 1e-4f);
    std::vector<float> pause(size_t(kPause * kRate / 100));
    for (float& x : pause)
        x = hiss(random);
    read.samples.insert(read.samples.begin() + join * (kRate / 100), pause.begin(), pause.end());
    read.aligner->feed(read.samples.data(), read.samples.size());
    const ModelFrames paused = read.aligner->finishFrames();
    FrameScores scores(*PhoneStates::shared(), paused);
    const WordJoin weighed = likelyJoin(scores, read.phonesOf(first), read.phonesOf(second),
                                        {first.startFrame, join + kPause / 2, join + kPause / 2,
                                         second.endFrame + 1 + kPause});
    EXPECT_NEAR(weighed.firstEnd, join, 2);
    EXPECT_NEAR(weighed.secondStart, join + kPause, 2);
}

// The model's states read from its files hear what its decoder hears: on a
// human reading, the phone whose states fit a frame best is, in two frames
// of five, the one the decoder's free phones put there (which follow the
// phones' lengths, not each frame alone). Chance would agree in one frame
// of forty; the changes of the cepstra left out, in under a third.
TEST(PhoneStates, FitTheFramesAsTheDecoderHearsThem)
{
    const PhoneStates* model = PhoneStates::shared();
    ASSERT_TRUE(model);
    const WordPronunciations none;
    QString error;
    std::unique_ptr<WordAligner> aligner = WordAligner::create(none, &error);
    ASSERT_TRUE(aligner) << qPrintable(error);
    const std::vector<float> samples = samplesOf("0880");
    aligner->feed(samples.data(), samples.size());
    const ModelFrames frames = aligner->finishFrames();
    FrameScores scores(*model, frames);
    const int silence = model->silenceId();
    int agreeing = 0, counted = 0;
    for (const DecodedSegment& phone : aligner->decodePhones(frames, 0, frames.frames())) {
        const int heard = model->baseId(phone.label);
        for (int t = phone.startFrame; heard >= 0 && t <= phone.endFrame; ++t, ++counted) {
            int best = -1;
            float bestScore = -std::numeric_limits<float>::infinity();
            for (int base = 0; base < model->baseCount(); ++base)
                for (const int senone : model->phone(base, silence, silence, PhoneStates::Alone).senones)
                    if (const float score = scores.senone(t, senone); score > bestScore) {
                        bestScore = score;
                        best = base;
                    }
            agreeing += best == heard;
        }
    }
    EXPECT_GT(counted, 200);
    EXPECT_GE(100 * agreeing, 40 * counted) << agreeing << " of " << counted << " frames";
}

TEST(PhoneStates, RefusesAModelFileMissingOrCutShortByName)
{
    const QString model = AcousticModel::folder() + "/en-us/";
    const QStringList files = {"mdef", "means", "variances", "sendump", "transition_matrices"};
    enum Damage { Intact, Missing, Halved, Emptied };
    struct Case { const char* file; Damage damage; };
    const Case cases[] = {{"", Intact},         {"mdef", Missing},    {"mdef", Halved},
                          {"means", Halved},    {"variances", Emptied}, {"sendump", Halved},
                          {"transition_matrices", Missing}};
    for (const Case& c : cases) {
        QTemporaryDir copy;
        for (const QString& file : files) {
            QByteArray bytes = readFile(model + file);
            ASSERT_FALSE(bytes.isEmpty()) << qPrintable(file);
            if (file == c.file && c.damage == Missing)
                continue;
            if (file == c.file)
                bytes.truncate(c.damage == Halved ? bytes.size() / 2 : 0);
            QFile out(copy.filePath(file));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        QString error;
        const std::unique_ptr<PhoneStates> read = PhoneStates::load(copy.path(), &error);
        if (c.damage == Intact) {
            ASSERT_TRUE(read) << qPrintable(error);
            EXPECT_GE(read->baseId("AH"), 0);
            EXPECT_EQ(read->baseId("QQ"), -1);
        } else {
            EXPECT_FALSE(read) << c.file;
            EXPECT_TRUE(error.contains(c.file)) << qPrintable(error);
        }
    }
}
