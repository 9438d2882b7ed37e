#include "study/DictationMode.h"

#include "platform/system/MessageBoxes.h"
#include "study/DictationText.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

namespace {

const char* const kAtFirstSentence = "已经是第一个句子了";
const char* const kDictationDone = "逆向听写完成!";
const char* const kNoHardSentence = "本课没有难句";

}  // namespace

DictationMode::DictationMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                             CourseLibrary& library, SpellPanelView& panel, QObject* parent)
    : StudyMode(session, StatusSpell, parent), playback_(playback), messages_(messages), library_(library),
      panel_(panel)
{
}

QString DictationMode::englishText(int n) const { return plainText(session_.englishElement(n)); }

QString DictationMode::chineseText(int n) const { return plainText(session_.chineseElement(n)); }

void DictationMode::enter()
{
    sentenceBefore_ = session_.currentSentence();
    // The Chinese hint is read from the page, which must have the lines: a
    // page without them is made again, and the sentence stays current.
    const bool pageRemade = !session_.showChinese();
    session_.setChineseNeeded(true);
    if (pageRemade && session_.hasSentence(sentenceBefore_))
        session_.SetCurSentence(sentenceBefore_);
    panel_.focusAnswer();
    SpellCurSentence();
}

void DictationMode::leave()
{
    playback_.stop();
    session_.setChineseNeeded(false);
    if (session_.hasSentence(sentenceBefore_))
        session_.SetCurSentence(sentenceBefore_);
}

void DictationMode::sentencePressed(int n, HtmlElement*, bool) { session_.SetCurSentence(n); }

void DictationMode::SpellCurSentence()
{
    const int n = session_.currentSentence();
    panel_.setAnswer(QString());
    panel_.setChineseHint(panel_.showsChineseHint() ? chineseText(n) : QString());
    panel_.setEnglishHint(panel_.showsEnglishHint() ? englishText(n) : QString());
    if (panel_.playsEachSentence())
        btSpellSound_Click();
}

void DictationMode::setHardSentences(std::function<std::vector<int>()> hardSentences)
{
    hardSentences_ = std::move(hardSentences);
}

void DictationMode::present(int n)
{
    session_.moveCurrentSentence(n);
    session_.ShowPositionText(n + 1);
    SpellCurSentence();
}

void DictationMode::stepToHardSentence(int direction)
{
    const std::vector<int> hard = hardSentences_ ? hardSentences_() : std::vector<int>();
    if (hard.empty()) {
        messages_.inform(kNoHardSentence);
        return;
    }
    const int n = session_.currentSentence();
    int target = direction > 0 ? hard.front() : hard.back();
    for (const int candidate : hard) {
        if (direction > 0 && candidate > n) {
            target = candidate;
            break;
        }
        if (direction < 0 && candidate < n)
            target = candidate;
    }
    present(target);
}

void DictationMode::btSpellNext_Click()
{
    playback_.stop();
    if (panel_.hardSentencesOnly()) {
        stepToHardSentence(+1);
        ArmFocusReturn();
        return;
    }
    const int n = session_.currentSentence();
    if (n >= session_.sentenceCount() - 1) {
        messages_.inform(kAtLastSentence);
    } else {
        session_.moveCurrentSentence(n + 1);
        session_.ShowPositionText(n + 2);
        SpellCurSentence();
    }
    ArmFocusReturn();
}

void DictationMode::btSpellPrev_Click()
{
    playback_.stop();
    if (panel_.hardSentencesOnly()) {
        stepToHardSentence(-1);
        ArmFocusReturn();
        return;
    }
    const int n = session_.currentSentence();
    if (n <= 0) {
        messages_.inform(kAtFirstSentence);
    } else {
        // The position shown stays where it was.
        session_.moveCurrentSentence(n - 1);
        SpellCurSentence();
    }
    ArmFocusReturn();
}

void DictationMode::btToStart_Click()
{
    playback_.stop();
    if (session_.sentenceCount() > 0)
        session_.moveCurrentSentence(0);
    SpellCurSentence();
}

void DictationMode::btSpellSound_Click()
{
    playback_.PlaySentence(session_.currentSentence(), true);
    ArmFocusReturn();
}

void DictationMode::btSpellHint_Click()
{
    panel_.setEnglishHint(trimBlanks(englishText(session_.currentSentence())));
    ArmFocusReturn();
}

void DictationMode::ckSpellShowChinese_Click()
{
    panel_.setChineseHint(panel_.showsChineseHint() ? chineseText(session_.currentSentence()) : QString());
}

void DictationMode::ckSpellShowEnglish_Click()
{
    panel_.setEnglishHint(panel_.showsEnglishHint() ? englishText(session_.currentSentence()) : QString());
}

void DictationMode::CheckSpelling()
{
    const int n = session_.currentSentence();
    const QString typed = trimBlanks(panel_.answer());
    panel_.setAnswer(typed);
    const QString right = trimBlanks(englishText(n));
    const int position = firstDictationDifference(typed, right, panel_.isLenient(), library_);
    emit answerChecked(n, position == -1, position, !panel_.englishHint().isEmpty(),
                       !panel_.chineseHint().isEmpty());
    if (position == -1) {
        if (panel_.hardSentencesOnly())
            btSpellNext_Click();
        else if (n >= session_.sentenceCount() - 1)
            messages_.inform(kDictationDone);
        else
            btSpellNext_Click();
        return;
    }
    if (position < typed.size())
        panel_.selectInAnswer(position, typed[position].isHighSurrogate() ? 2 : 1);
    else
        panel_.putCursorInAnswer(typed.size());
}

void DictationMode::ArmFocusReturn() { panel_.returnFocusSoon(); }
