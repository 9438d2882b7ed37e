#include "SpokenSentences.h"
#include "platform/pronunciation/EspeakPronunciation.h"
#include "platform/pronunciation/PronunciationScore.h"
#include "platform/pronunciation/SpokenWords.h"
#include "platform/speech/SpeechSynthesis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

const QString kReadings = QStringLiteral(LEXBAY_HUMAN_READINGS "/sense_and_sensibility_01_austen_64kb-");
const QString kNotIllDisposed = QStringLiteral("He was not an ill-disposed young man.");
const QString kAmiableHimself = QStringLiteral("He might even have been made amiable himself.");

struct Take {
    const char* name;
    QString file;        // a human reading, or empty: spoken below
    QString spoken;      // what espeak-ng says for the take
    QString sentence;    // what it is scored against
    int points[2];       // 发音 within
    int completeness[2]; // 完整度 within
    const char* poorest; // the word named poorest, or null: any
};

}  // namespace

TEST(SpokenWords, ReadsNumbersAbbreviationsAndDropsPunctuation)
{
    const std::pair<QString, QString> cases[] = {
        {"Mr. Dashwood had 10 sons!", "mister dashwood had ten sons"},
        {"Mrs Brown, Dr. Lee & I.", "missus brown doctor lee and i"},
        {"It's 2,021 — not 12?", "it's two thousand twenty one not twelve"},
        {"She came 3rd; 115 people", "she came third one hundred fifteen people"},
        {"“Well-known” words", "well known words"},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(spokenWords(text).join(' '), words) << qPrintable(text);
}

TEST(EspeakPronunciation, MapsEspeakPhonemesToTheModelsPhones)
{
    EXPECT_EQ(modelPhonesFromEspeak("k'ItS@n"), "K IH CH AH N");
    EXPECT_EQ(modelPhonesFromEspeak("T'VroUf,e@"), "TH AH R OW F EH R");
    EXPECT_EQ(espeakPronunciation("zorblat").split(' ').first(), "Z");
}

// espeak-ng is one engine per process: an import's synthetic reading and its
// word list's IPA, each in a voice of its own, leave a word the dictionary
// lacks sounding as the model's American English before them.
TEST(EspeakPronunciation, AWordSoundsTheSameAfterAnImportsReading)
{
    const QString before = espeakPronunciation("zentionary");
    ASSERT_FALSE(before.isEmpty());
    const QString read = speakSentences({"Where is the station?"}, "en", 165,
                                        [](int, const float*, size_t) { return true; });
    ASSERT_TRUE(read.isEmpty()) << read.toStdString();
    EXPECT_FALSE(ipaOf("station").isEmpty());
    EXPECT_EQ(espeakPronunciation("zentionary").toStdString(), before.toStdString());
}

// Human readings of their own sentence and of another; espeak-ng (in the
// voice the model hears best) saying the sentence with one word swapped;
// silence.
TEST(PronunciationScore, ScoresTakesAgainstTheirSentence)
{
    ASSERT_TRUE(pronunciationScoringAvailable()) << qPrintable(pronunciationUnavailableReason());
    const Take takes[] = {
        {"human, own sentence", kReadings + "0880.wav", {}, kNotIllDisposed, {80, 100}, {90, 100}, nullptr},
        {"human, own sentence", kReadings + "0930.wav", {}, kAmiableHimself, {80, 100}, {90, 100}, nullptr},
        {"human, own sentence, an abbreviation", kReadings + "0870.wav", {},
         "And Mr. John Dashwood had then leisure to consider how much there might be prudently in his power to do "
         "for them.",
         {80, 100}, {90, 100}, nullptr},
        {"human, another sentence", kReadings + "0870.wav", {}, kNotIllDisposed, {0, 40}, {0, 40}, nullptr},
        {"human, another sentence", kReadings + "0930.wav", {},
         "Unless to be rather cold-hearted, and rather selfish, is to be ill-disposed.", {0, 40}, {0, 40}, nullptr},
        {"synthetic, one word swapped", {}, "He was not an ill-disposed old man.", kNotIllDisposed, {0, 100},
         {0, 100}, "young"},
        {"synthetic, one word swapped", {}, "He might even have been made furious himself.", kAmiableHimself, {0, 100},
         {0, 100}, "amiable"},
    };
    SpokenSentences spoken;
    for (const Take& take : takes) {
        QString file = take.file;
        if (file.isEmpty()) {
            ASSERT_TRUE(spoken.speak("take", "en-us+f2", take.spoken)) << qPrintable(spoken.lastError);
            file = spoken.path("take");
        }
        const PronunciationScore score = scorePronunciation(file, take.sentence);
        SCOPED_TRACE(std::string(take.name) + ": " + qPrintable(take.sentence));
        ASSERT_TRUE(score.scored) << qPrintable(score.message);
        EXPECT_GE(score.pronunciation, take.points[0]);
        EXPECT_LE(score.pronunciation, take.points[1]);
        EXPECT_GE(score.completeness, take.completeness[0]);
        EXPECT_LE(score.completeness, take.completeness[1]);
        if (take.poorest) {
            EXPECT_EQ(score.poorestWord, take.poorest);
            const auto poorest = std::find_if(score.words.begin(), score.words.end(),
                                              [&](const WordPronunciation& w) { return w.word == take.poorest; });
            ASSERT_NE(poorest, score.words.end());
            EXPECT_TRUE(poorest->quality == WordQuality::Poor || poorest->quality == WordQuality::Missing);
        }
    }
    ASSERT_TRUE(spoken.synthesise("silence", {"trim", "0", "3"}));
    const PronunciationScore silence = scorePronunciation(spoken.path("silence"), kNotIllDisposed);
    EXPECT_FALSE(silence.scored);
    EXPECT_FALSE(silence.takeHasVoice);
    EXPECT_EQ(silence.message, "没有录到声音");
}

// The comparison scores off the window's thread; two takes scored at once
// score as each alone.
TEST(PronunciationScore, ScoresFromTwoThreadsAtOnce)
{
    const QString files[] = {kReadings + "0880.wav", kReadings + "0930.wav"};
    const QString sentences[] = {kNotIllDisposed, kAmiableHimself};
    PronunciationScore alone[2], together[2];
    for (int i = 0; i < 2; ++i)
        alone[i] = scorePronunciation(files[i], sentences[i]);
    std::thread other([&] { together[1] = scorePronunciation(files[1], sentences[1]); });
    together[0] = scorePronunciation(files[0], sentences[0]);
    other.join();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(together[i].scored);
        EXPECT_EQ(together[i].pronunciation, alone[i].pronunciation);
        EXPECT_EQ(together[i].completeness, alone[i].completeness);
        EXPECT_EQ(together[i].poorestWord, alone[i].poorestWord);
    }
}

TEST(WithoutModel, SaysScoringIsUnavailable)
{
    EXPECT_FALSE(pronunciationScoringAvailable());
    EXPECT_TRUE(pronunciationUnavailableReason().contains("发音评分不可用"));
    const PronunciationScore score = scorePronunciation(kReadings + "0880.wav", kNotIllDisposed);
    EXPECT_FALSE(score.scored);
    EXPECT_EQ(score.message, pronunciationUnavailableReason());
}
