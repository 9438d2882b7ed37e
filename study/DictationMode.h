#pragma once

// Reverse dictation: hear the current sentence, type it, press Enter to have
// it checked. A right answer goes on to the next sentence; a wrong one
// selects the first wrong character. Hint boxes show the sentence's Chinese
// and English text.

#include "study/StudyMode.h"

#include <QString>

#include <functional>
#include <vector>

class CourseLibrary;
class MessageBoxes;
class SentencePlayback;

// What dictation reads of its panel and shows on it: the options ticked, the
// answer box and the two hint boxes.
class SpellPanelView {
public:
    virtual ~SpellPanelView() = default;
    virtual bool playsEachSentence() const = 0;   // play each sentence when it is presented
    virtual bool showsEnglishHint() const = 0;    // fill the English hint when presented
    virtual bool showsChineseHint() const = 0;    // fill the Chinese hint when presented
    virtual bool isLenient() const = 0;           // forgive letter case, punctuation and spacing
    virtual bool hardSentencesOnly() const = 0;   // step through the hard sentences only
    virtual QString answer() const = 0;
    virtual void setAnswer(const QString& text) = 0;
    // Selects `length` characters of the answer from `start`.
    virtual void selectInAnswer(int start, int length) = 0;
    virtual void putCursorInAnswer(int position) = 0;
    virtual QString englishHint() const = 0;
    virtual void setEnglishHint(const QString& text) = 0;
    virtual QString chineseHint() const = 0;
    virtual void setChineseHint(const QString& text) = 0;
    virtual void focusAnswer() = 0;
    // Gives the focus back to the answer box shortly, after a button press.
    virtual void returnFocusSoon() = 0;
};

class DictationMode : public StudyMode {
    Q_OBJECT
public:
    DictationMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages, CourseLibrary& library,
                  SpellPanelView& panel, QObject* parent = nullptr);

    void enter() override;
    void leave() override;
    // The sentence becomes current; the boxes stay as they are.
    void sentencePressed(int n, HtmlElement* element, bool onText) override;

    // Checks the answer box against the current sentence.
    void CheckSpelling();

    // The sentences of the lesson the learner keeps getting wrong, in lesson
    // order, for stepping through them alone.
    void setHardSentences(std::function<std::vector<int>()> hardSentences);

public slots:
    void btSpellNext_Click();
    void btSpellPrev_Click();
    void btToStart_Click();
    void btSpellSound_Click();
    void btSpellHint_Click();
    void ckSpellShowChinese_Click();
    void ckSpellShowEnglish_Click();

signals:
    // An answer to sentence n was checked: right or not, the position of its
    // first wrong character (-1 when right), and whether the English and the
    // Chinese hint were showing.
    void answerChecked(int n, bool right, int firstWrong, bool englishHint, bool chineseHint);

private:
    // Presents the current sentence: clears the answer, fills the hints,
    // plays it when wanted.
    void SpellCurSentence();
    void ArmFocusReturn();
    // Presents sentence n, showing its position.
    void present(int n);
    // With 只练难句 ticked: to the next or previous hard sentence, round the
    // lesson's end.
    void stepToHardSentence(int direction);
    QString englishText(int n) const;
    QString chineseText(int n) const;

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    CourseLibrary& library_;
    std::function<std::vector<int>()> hardSentences_;
    SpellPanelView& panel_;

    // The current sentence as it was when the mode was entered; it is
    // current again when the mode is left.
    int sentenceBefore_ = 0;
};
