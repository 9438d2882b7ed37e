// The comparison panel's view and scores on stand-in players: the rows it
// draws for the sentence and the take, the scores and the pronunciation
// after a take (and without the acoustic model), the mark that follows the
// reading that plays, and answers that come too late.

#include "WavFiles.h"
#include "WindowHarness.h"

#include "platform/analysis/AudioDecoding.h"
#include "platform/pronunciation/SpokenWords.h"
#include "shell/window/ComparePanel.h"
#include "shell/window/ComparisonView.h"
#include "study/DictationText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const kTake = "yourvoice.wav";

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        WindowHarness::settle(5);
    return done();
}

ComparisonView* viewOf(MainForm& f) { return f.findChild<ComparisonView*>("wvCompare"); }
QLabel* similarityOf(MainForm& f) { return f.findChild<QLabel*>("lbSimilarity"); }
QLabel* intonationOf(MainForm& f) { return f.findChild<QLabel*>("lbIntonation"); }
QString textOf(MainForm& f, const char* label) { return f.findChild<QLabel*>(label)->text(); }
int numberAfter(const QString& caption, const QString& text) { return text.mid(caption.size()).chopped(text.endsWith('%')).toInt(); }

// A take as the recorder would leave it.
void writeTake(const std::vector<float>& samples) { writeMonoWav(kTake, samples, kAnalysisRate); }

// The current sentence of the lesson recording, with some silence before, as
// a learner's take.
std::vector<float> sentenceAsTake(MainForm& f)
{
    const int n = f.session().currentSentence();
    const DecodedAudio sentence =
        decodeAudio(f.playback().recordingFile(), f.session().sentenceTimes()[n], f.session().sentenceTimes()[n + 1]);
    EXPECT_TRUE(sentence.ok()) << sentence.error.toStdString();
    std::vector<float> take(kAnalysisRate / 2, 0.0f);
    take.insert(take.end(), sentence.samples.begin(), sentence.samples.end());
    return take;
}

// Records a take with `samples` in it (the stand-in recorder writes nothing).
void recordTake(MainForm& f, const std::vector<float>& samples)
{
    ui(f).btRecord->click();
    writeTake(samples);
    ui(f).btCompareStop->click();
}

bool hasColour(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 0)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                    + std::abs(c.blue() - colour.blue())
                <= tolerance)
                return true;
        }
    return false;
}

class ComparisonPanelView : public ::testing::Test {
protected:
    void SetUp() override
    {
        f_ = &h_.load();
        f_->Toolbar1_ButtonClick("btCompare");
        view_ = viewOf(*f_);
        ASSERT_NE(view_, nullptr);
        EXPECT_EQ(view_->accessibleName(), "波形对比");
        ASSERT_TRUE(waitUntil([this] { return view_->reading(ComparisonView::RecordingRow) != nullptr; }));
    }

    WindowHarness h_;
    MainForm* f_ = nullptr;
    ComparisonView* view_ = nullptr;
};

TEST_F(ComparisonPanelView, ThePageMovesBelowThePanelWhileItShows)
{
    const NamedControls c = ui(*f_);
    // The page's place beside the panel, in the area both lie in.
    const auto pagePlace = [&c] {
        return QRect(c.wbContent->mapTo(c.piCompare->parentWidget(), QPoint(0, 0)), c.wbContent->size());
    };
    const QRect page = pagePlace();
    EXPECT_EQ(page.top(), c.piCompare->geometry().bottom() + 1);
    EXPECT_TRUE(c.piCompare->geometry().contains(view_->geometry().translated(c.piCompare->pos())));
    f_->Toolbar1_ButtonClick("btCompare");
    EXPECT_LT(pagePlace().top(), page.top());
    EXPECT_EQ(pagePlace().bottom(), page.bottom());
}

TEST_F(ComparisonPanelView, ShowsTheSentenceThenBothRowsAndTheScoresAfterATake)
{
    const VoiceProfile* sentence = view_->reading(ComparisonView::RecordingRow);
    const std::vector<double>& times = f_->session().sentenceTimes();
    EXPECT_NEAR(sentence->seconds, times[1] - times[0], 0.01);
    EXPECT_TRUE(sentence->hasVoice);
    EXPECT_EQ(view_->reading(ComparisonView::TakeRow), nullptr);
    EXPECT_TRUE(similarityOf(*f_)->text().isEmpty());

    recordTake(*f_, sentenceAsTake(*f_));
    ASSERT_TRUE(waitUntil([this] { return !similarityOf(*f_)->text().isEmpty(); }, 15000));
    // The take is the sentence itself.
    const int similarity = similarityOf(*f_)->text().mid(QString("相似度：").size()).toInt();
    EXPECT_TRUE(similarityOf(*f_)->text().startsWith("相似度：")) << similarityOf(*f_)->text().toStdString();
    EXPECT_GE(similarity, 95);
    EXPECT_TRUE(intonationOf(*f_)->text().startsWith("语调：")) << intonationOf(*f_)->text().toStdString();
    EXPECT_GE(intonationOf(*f_)->text().mid(3).toInt(), 95);
    // Its pronunciation, judged against the sentence's words, each word in
    // one of the three colours, the poor and missing ones underlined.
    const int points = numberAfter("发音：", textOf(*f_, "lbPronunciation"));
    EXPECT_TRUE(textOf(*f_, "lbPronunciation").startsWith("发音：")) << textOf(*f_, "lbPronunciation").toStdString();
    EXPECT_TRUE(points > 0 && points <= 100) << points;
    EXPECT_GE(numberAfter("完整度：", textOf(*f_, "lbCompleteness")), 50) << textOf(*f_, "lbCompleteness").toStdString();
    const QString words = textOf(*f_, "lbSpokenWords");
    const QStringList sentenceWords = spokenWords(plainText(f_->session().englishElement(0)));
    for (const QString& word : sentenceWords)
        EXPECT_TRUE(words.contains(">" + word + "</span>")) << word.toStdString();
    const auto withColour = [&](WordQuality q) { return words.count(ComparePanel::colourOf(q).name()); };
    EXPECT_EQ(withColour(WordQuality::Good) + withColour(WordQuality::Doubtful) + withColour(WordQuality::Poor),
              sentenceWords.size()) << words.toStdString();
    EXPECT_EQ(words.count("underline"), withColour(WordQuality::Poor));
    const VoiceProfile* take = view_->reading(ComparisonView::TakeRow);
    ASSERT_NE(take, nullptr);
    EXPECT_NEAR(take->seconds, 0.5 + sentence->seconds, 0.02);
    const QImage image = view_->grab().toImage();
    for (ComparisonView::Row row : {ComparisonView::RecordingRow, ComparisonView::TakeRow}) {
        EXPECT_TRUE(hasColour(image, view_->rowRect(row), ComparisonView::kWaveColour)) << row;
        EXPECT_TRUE(hasColour(image, view_->rowRect(row), ComparisonView::kPitchColour, 30)) << row;
    }
    // Each row starts at its voice: the take's half second of silence is not
    // drawn, so both voices begin at the same place.
    EXPECT_EQ(view_->xAt(ComparisonView::TakeRow, 0.5 + sentence->voiceStart * kFrameSeconds),
              view_->xAt(ComparisonView::RecordingRow, sentence->voiceStart * kFrameSeconds));
}

TEST_F(ComparisonPanelView, ATakeWithoutVoiceSaysSoOnBothLabels)
{
    recordTake(*f_, std::vector<float>(kAnalysisRate, 0.0f));
    ASSERT_TRUE(waitUntil([this] { return !similarityOf(*f_)->text().isEmpty(); }, 15000));
    EXPECT_EQ(similarityOf(*f_)->text(), "没有录到声音");
    EXPECT_EQ(intonationOf(*f_)->text(), "没有录到声音");
    EXPECT_TRUE(textOf(*f_, "lbPronunciation").isEmpty());
    EXPECT_TRUE(textOf(*f_, "lbSpokenWords").isEmpty());
}

// Another sentence read for this one: few of its words are found, the rest
// are marked and underlined.
TEST_F(ComparisonPanelView, ATakeOfAnotherSentenceMarksTheWordsNotSaid)
{
    f_->session().SetCurSentence(1);
    const std::vector<float> other = sentenceAsTake(*f_);
    f_->session().SetCurSentence(0);
    recordTake(*f_, other);
    ASSERT_TRUE(waitUntil([this] { return !textOf(*f_, "lbCompleteness").isEmpty(); }, 10000));
    EXPECT_LE(numberAfter("完整度：", textOf(*f_, "lbCompleteness")), 50) << textOf(*f_, "lbCompleteness").toStdString();
    const QString words = textOf(*f_, "lbSpokenWords");
    EXPECT_TRUE(words.contains(ComparePanel::colourOf(WordQuality::Missing).name() + ";text-decoration:underline"))
        << words.toStdString();
}

// Run alone with LEXBAY_PRONUNCIATION_MODEL at an empty folder: the model is
// loaded once per process.
TEST_F(ComparisonPanelView, WithoutTheModelSaysSoAndKeepsTheOtherScores)
{
    if (qEnvironmentVariableIsEmpty("LEXBAY_PRONUNCIATION_MODEL"))
        GTEST_SKIP() << "needs the acoustic model hidden";
    recordTake(*f_, sentenceAsTake(*f_));
    ASSERT_TRUE(waitUntil([this] { return !similarityOf(*f_)->text().isEmpty(); }, 15000));
    EXPECT_GE(numberAfter("相似度：", similarityOf(*f_)->text()), 95);
    EXPECT_TRUE(intonationOf(*f_)->text().startsWith("语调："));
    EXPECT_TRUE(textOf(*f_, "lbPronunciation").isEmpty());
    EXPECT_TRUE(textOf(*f_, "lbPractice").isEmpty());
    EXPECT_EQ(textOf(*f_, "lbSpokenWords"), pronunciationUnavailableReason().toHtmlEscaped());
    EXPECT_TRUE(textOf(*f_, "lbSpokenWords").contains("发音评分不可用"));
}

TEST_F(ComparisonPanelView, TheMarkFollowsWhicheverReadingPlays)
{
    recordTake(*f_, sentenceAsTake(*f_));
    ASSERT_TRUE(waitUntil([this] { return view_->reading(ComparisonView::TakeRow) != nullptr; }));
    const double start = f_->session().sentenceTimes()[0];

    // The loop begins with the take.
    h_.wavePlayer().playPosition = 0.9;
    ASSERT_TRUE(waitUntil([this] { return view_->playPosition() == 0.9; }, 1000));
    EXPECT_EQ(view_->playingRow(), ComparisonView::TakeRow);
    h_.wavePlayer().playPosition = 1.2;
    ASSERT_TRUE(waitUntil([this] { return view_->playPosition() == 1.2; }, 1000));

    ui(*f_).btStandard->click();
    h_.player().setCurrentPosition(start + 0.7);
    ASSERT_TRUE(waitUntil([this] { return view_->playingRow() == ComparisonView::RecordingRow; }, 1000));
    ASSERT_TRUE(waitUntil([this] { return std::abs(view_->playPosition() - 0.7) < 1e-9; }, 1000));
    const QImage image = view_->grab().toImage();
    const auto x = view_->xAt(ComparisonView::RecordingRow, 0.7);
    ASSERT_TRUE(x.has_value());
    const QRect row = view_->rowRect(ComparisonView::RecordingRow);
    EXPECT_EQ(image.pixelColor(*x, row.center().y()), ComparisonView::kPositionColour);

    ui(*f_).btCompareStop->click();
    EXPECT_FALSE(view_->playingRow().has_value());
}

TEST_F(ComparisonPanelView, AnswersForATakeGoneOrASentenceLeftAreDropped)
{
    // A new recording starts before the first take's answer comes.
    recordTake(*f_, sentenceAsTake(*f_));
    ui(*f_).btRecord->click();
    WindowHarness::settle(1000);
    EXPECT_EQ(view_->reading(ComparisonView::TakeRow), nullptr);
    EXPECT_TRUE(similarityOf(*f_)->text().isEmpty());

    // The learner moves on while this take is analysed: its row stays (the
    // take still plays) but its scores were for the sentence left.
    writeTake(sentenceAsTake(*f_));
    ui(*f_).btCompareStop->click();
    ui(*f_).btCompareStop->click();
    f_->session().SetCurSentence(1);
    ASSERT_TRUE(waitUntil([this] { return view_->reading(ComparisonView::TakeRow) != nullptr; }));
    WindowHarness::settle(300);
    EXPECT_TRUE(similarityOf(*f_)->text().isEmpty());
    const std::vector<double>& times = f_->session().sentenceTimes();
    ASSERT_TRUE(waitUntil([&] {
        const VoiceProfile* shown = view_->reading(ComparisonView::RecordingRow);
        return shown != nullptr && std::abs(shown->seconds - (times[2] - times[1])) < 0.01;
    }));

    // The next sentence forgets the take altogether.
    ui(*f_).btCompareNext->click();
    EXPECT_EQ(view_->reading(ComparisonView::TakeRow), nullptr);
}

}  // namespace
