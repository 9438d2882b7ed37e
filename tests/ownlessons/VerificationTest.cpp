// The aligner's verification on recordings made here that do not follow
// their text: a sentence missing from the recording, one read twice, a long
// aside that is not in the text, an announcement first, and a human reading
// behind an announcement. Every sentence read as written must start in the
// pause before its first word (a sentence read twice, before either
// reading) and have its words' times, or be named as unsure; a sentence
// that is not in the recording must be named. The aligner names a sentence
// when in doubt, but few of them: each row has sentences it must find.

#include "MadeRecordings.h"

#include "ownlessons/SentenceAligner.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const kBook = "/usr/share/pocketsphinx/test/data/librivox/sense_and_sensibility_01_austen_64kb-0";

const QStringList kText = {
    "The old ferry leaves the harbour at seven every morning.",
    "My grandmother kept her letters in a tin box under the stairs.",
    "After dinner we walked along the river and talked about the summer.",
    "Nobody in the village had ever seen a bicycle painted gold.",
    "She counted 24 sheep before she finally fell asleep.",
};
const QString kAnnouncement = "Welcome to the third lesson of our listening course. Listen carefully.";
const QString kAside = "By the way, I should tell you that this story happened a long time ago, when my family "
                       "still lived near the sea and we had no telephone at all.";

struct VerificationCase {
    const char* name;
    // What is said: a sentence of the text (its index), or -1 for the aside
    // or announcement.
    std::vector<int> said;
    std::vector<int> named;  // the sentences that must be named as unsure
    int leastFound;          // how many sentences at least are found and not named
    QStringList text = kText;
    QStringList recorded = {};  // human readings of the parts, in place of espeak-ng
    QStringList voices = {"en-gb", "en+m3", "en-gb-x-rp", "en+f2"};  // by sentence, in turn
    std::vector<int> wordsPerMinute = {};  // by sentence; 160, 170, … when empty
    std::vector<double> pauses = {};       // after each part, seconds; 0.35–0.75 in turn when empty
};

TEST(VerificationTest, SentencesNotReadAsWrittenAreFoundOrNamed)
{
    const QStringList book = {"he was not an ill disposed young man.",
                              "unless to be rather cold hearted and rather selfish is to be ill disposed.",
                              "he might even have been made amiable himself."};
    const std::vector<VerificationCase> cases = {
        {"a sentence missing from the recording", {0, 1, 3, 4}, {2}, 3},
        {"a sentence read twice", {0, 1, 1, 2, 3, 4}, {}, 4},
        {"a long aside that is not in the text", {0, 1, -1, 2, 3, 4}, {}, 3},
        {"an announcement first", {-1, 0, 1, 2, 3, 4}, {}, 4},
        {"a human reading after an announcement", {-1, 0, 1, 2}, {}, 3, book,
         {"", QString(kBook) + "880.wav", QString(kBook) + "890.wav", QString(kBook) + "930.wav"}},
        // Fast prose, where the model may put a last word it hears poorly on the next sentence's first sound.
        {"a fast sentence whose last word is heard poorly", {0, 1, 2, 3}, {}, 4,
         {"The old ferryman counted the station's timetable near the river, and nobody ever asked why.",
          "The youngest of the three sisters kept the broken clock without saying a word, although the weather "
          "was bad.",
          "A tall stranger mended a long letter to the mayor before the rain began?",
          "The old ferryman sold the blue bicycle at 7 o'clock every morning."},
         {}, {"en-us", "en+m3"}, {141, 182, 150, 159}, {1.73, 1.0, 0.95, 0.5}},
    };
    for (const VerificationCase& c : cases) {
        QTemporaryDir folder;
        std::vector<SpokenPart> parts;
        for (size_t p = 0; p < c.said.size(); ++p) {
            const int k = c.said[p];
            const QString said = k >= 0 ? c.text[k] : (p == 0 ? kAnnouncement : kAside);
            const QString recorded = p < size_t(c.recorded.size()) ? c.recorded[int(p)] : QString();
            const int rate =
                k >= 0 && size_t(k) < c.wordsPerMinute.size() ? c.wordsPerMinute[size_t(k)] : 150 + 10 * (k + 1);
            parts.push_back({said, k >= 0 ? c.voices[k % c.voices.size()] : "en-us+f3", rate,
                             p < c.pauses.size() ? c.pauses[p] : 0.35 + 0.2 * double(p % 3), recorded});
        }
        const MadeRecording recording = makeRecording(folder.path(), "lesson", parts, -45);
        const SentenceAlignment alignment = alignRecording(c.text, recording.path, 120);
        ASSERT_EQ(alignment.error, QString()) << c.name;
        ASSERT_EQ(alignment.sentences.size(), size_t(c.text.size())) << c.name;
        int found = 0;
        for (int k = 0; k < c.text.size(); ++k) {
            const SentenceTiming& timing = alignment.sentences[size_t(k)];
            const bool named = timing.confidence < kUnsureConfidence;
            if (std::count(c.named.begin(), c.named.end(), k) > 0) {
                EXPECT_TRUE(named) << c.name << ", sentence " << k + 1 << " is not in the recording";
            }
            found += !named;
            if (named || std::find(c.said.begin(), c.said.end(), k) == c.said.end())
                continue;
            // The reading it was placed before (a sentence read twice may
            // begin at either), and the speech before that.
            size_t p = c.said.size();
            for (size_t q = 0; q < c.said.size(); ++q)
                if (c.said[q] == k && (p == c.said.size()
                                       || std::abs(recording.speechStart[q] - timing.start)
                                              < std::abs(recording.speechStart[p] - timing.start)))
                    p = q;
            const double speech = recording.speechStart[p];
            const double previous = p > 0 ? recording.speechEnd[p - 1] : 0;
            EXPECT_LE(timing.start, speech) << c.name << ", sentence " << k + 1 << " cuts its first word";
            EXPECT_GE(timing.start, std::max(previous, speech - 0.5))
                << c.name << ", sentence " << k + 1 << " starts outside the pause before it";
            // Each written word has its times, in order, within the sentence's readings.
            const WordTimes& words = timing.words;
            ASSERT_FALSE(words.isEmpty()) << c.name << ", sentence " << k + 1;
            EXPECT_NEAR(words.first().start, speech, 0.1) << c.name << ", sentence " << k + 1;
            for (qsizetype w = 0; w < words.size(); ++w) {
                EXPECT_LE(words[w].start, words[w].end) << c.name << ", sentence " << k + 1 << ", word " << w;
                if (w > 0) {
                    EXPECT_GE(words[w].start, words[w - 1].end) << c.name << ", sentence " << k + 1 << ", word " << w;
                }
                EXPECT_TRUE(c.text[k].mid(words[w].from, words[w].length).at(0).isLetterOrNumber())
                    << c.name << ", sentence " << k + 1 << ", word " << w;
            }
        }
        EXPECT_GE(found, c.leastFound) << c.name;
    }
}

}  // namespace
