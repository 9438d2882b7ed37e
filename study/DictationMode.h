#pragma once

// Reverse dictation: hear the current sentence, type it, press Enter to have
// it checked. A right answer goes on to the next sentence; a wrong one
// selects the first wrong character. Hint boxes show the sentence's Chinese
// and English text.

#include "study/StudyMode.h"

#include <functional>
#include <vector>

class CourseLibrary;
class MessageBoxes;
class QCheckBox;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QWidget;
class SentencePlayback;

// The dictation panel's controls.
struct SpellPanel {
    QFrame* piSpell = nullptr;
    QCheckBox* ckSpellAutoSnd = nullptr;      // play each sentence when it is presented
    QCheckBox* ckSpellShowEnglish = nullptr;  // fill the English hint when presented
    QCheckBox* ckSpellShowChinese = nullptr;  // fill the Chinese hint when presented
    QCheckBox* ckSpellLenient = nullptr;      // forgive letter case, punctuation and spacing
    QCheckBox* ckSpellHardOnly = nullptr;     // step through the hard sentences only
    QPushButton* btToStart = nullptr;
    QPushButton* btSpellPrev = nullptr;
    QPushButton* btSpellNext = nullptr;
    QPushButton* btSpellSound = nullptr;
    QPushButton* btSpellHint = nullptr;
    QPlainTextEdit* teEnglish = nullptr;  // hint boxes, read-only
    QPlainTextEdit* teChinese = nullptr;
    QLineEdit* teSpell = nullptr;  // the answer
    QTimer* timerFocus = nullptr;  // gives the focus back to the answer box
};

class DictationMode : public StudyMode {
    Q_OBJECT
public:
    // loadLesson makes the lesson page again, for the Chinese lines the mode
    // needs and takes away again.
    DictationMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages, QWidget* window,
                  CourseLibrary& library, std::function<void()> loadLesson, const SpellPanel& panel,
                  QObject* parent = nullptr);

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
    void timerFocus_Timer();

signals:
    // An answer to sentence n was checked: right or not, the position of its
    // first wrong character (-1 when right), and whether the English and the
    // Chinese hint were showing.
    void answerChecked(int n, bool right, int firstWrong, bool englishHint, bool chineseHint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    // -1 when typed is the sentence byte for byte; otherwise the position of
    // its first wrong character (its length when it stops short).
    int firstExactDifference(const QString& typed, const QString& right) const;
    QString englishText(int n) const;
    QString chineseText(int n) const;

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    QWidget* window_;
    CourseLibrary& library_;
    std::function<void()> loadLesson_;
    std::function<std::vector<int>()> hardSentences_;
    SpellPanel panel_;

    // As they were when the mode was entered; they come back when it is left.
    bool showChineseBefore_ = false;
    int sentenceBefore_ = 0;
};
