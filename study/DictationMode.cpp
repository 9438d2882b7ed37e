#include "study/DictationMode.h"

#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"
#include "platform/system/MessageBoxes.h"
#include "study/DictationText.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const char* const kAtLastSentence = "已经是最后一个句子了";
const char* const kAtFirstSentence = "已经是第一个句子了";
const char* const kDictationDone = "逆向听写完成!";
const char* const kNoHardSentence = "本课没有难句";

}  // namespace

DictationMode::DictationMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                             QWidget* window, CourseLibrary& library, std::function<void()> loadLesson,
                             const SpellPanel& panel, QObject* parent)
    : StudyMode(session, StatusSpell, parent), playback_(playback), messages_(messages), window_(window),
      library_(library), loadLesson_(std::move(loadLesson)), panel_(panel)
{
    connect(panel_.btSpellNext, &QPushButton::clicked, this, &DictationMode::btSpellNext_Click);
    connect(panel_.btSpellPrev, &QPushButton::clicked, this, &DictationMode::btSpellPrev_Click);
    connect(panel_.btToStart, &QPushButton::clicked, this, &DictationMode::btToStart_Click);
    connect(panel_.btSpellSound, &QPushButton::clicked, this, &DictationMode::btSpellSound_Click);
    connect(panel_.btSpellHint, &QPushButton::clicked, this, &DictationMode::btSpellHint_Click);
    connect(panel_.ckSpellShowChinese, &QCheckBox::clicked, this, &DictationMode::ckSpellShowChinese_Click);
    connect(panel_.ckSpellShowEnglish, &QCheckBox::clicked, this, &DictationMode::ckSpellShowEnglish_Click);
    connect(panel_.timerFocus, &QTimer::timeout, this, &DictationMode::timerFocus_Timer);
    for (QWidget* box : {static_cast<QWidget*>(panel_.teSpell), static_cast<QWidget*>(panel_.teChinese),
                         static_cast<QWidget*>(panel_.teEnglish)})
        box->installEventFilter(this);
}

QString DictationMode::englishText(int n) const { return plainText(session_.englishElement(n)); }

QString DictationMode::chineseText(int n) const { return plainText(session_.chineseElement(n)); }

void DictationMode::enter()
{
    session_.SetStatus(StatusSpell);
    showChineseBefore_ = session_.showChinese();
    sentenceBefore_ = session_.currentSentence();
    // The Chinese hint is read from the page, which must have the lines.
    if (!session_.showChinese()) {
        session_.setShowChinese(true);
        loadLesson_();
        if (session_.hasSentence(sentenceBefore_))
            session_.SetCurSentence(sentenceBefore_);
    }
    panel_.teSpell->setFocus();
    SpellCurSentence();
}

void DictationMode::leave()
{
    playback_.stop();
    session_.SetStatus(StatusLesson);
    if (!showChineseBefore_) {
        session_.setShowChinese(false);
        loadLesson_();
    }
    if (session_.hasSentence(sentenceBefore_))
        session_.SetCurSentence(sentenceBefore_);
}

void DictationMode::sentencePressed(int n, HtmlElement*, bool) { session_.SetCurSentence(n); }

void DictationMode::SpellCurSentence()
{
    const int n = session_.currentSentence();
    panel_.teSpell->setText(QString());
    panel_.teChinese->setPlainText(panel_.ckSpellShowChinese->isChecked() ? chineseText(n) : QString());
    panel_.teEnglish->setPlainText(panel_.ckSpellShowEnglish->isChecked() ? englishText(n) : QString());
    if (panel_.ckSpellAutoSnd->isChecked())
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
        messages_.inform(window_, kNoHardSentence);
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
    if (panel_.ckSpellHardOnly->isChecked()) {
        stepToHardSentence(+1);
        ArmFocusReturn();
        return;
    }
    const int n = session_.currentSentence();
    if (n >= session_.sentenceCount() - 1) {
        messages_.inform(window_, kAtLastSentence);
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
    if (panel_.ckSpellHardOnly->isChecked()) {
        stepToHardSentence(-1);
        ArmFocusReturn();
        return;
    }
    const int n = session_.currentSentence();
    if (n <= 0) {
        messages_.inform(window_, kAtFirstSentence);
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
    panel_.teEnglish->setPlainText(trimBlanks(englishText(session_.currentSentence())));
    ArmFocusReturn();
}

void DictationMode::ckSpellShowChinese_Click()
{
    if (session_.isLoading())
        return;
    panel_.teChinese->setPlainText(panel_.ckSpellShowChinese->isChecked() ? chineseText(session_.currentSentence())
                                                                          : QString());
}

void DictationMode::ckSpellShowEnglish_Click()
{
    if (session_.isLoading())
        return;
    panel_.teEnglish->setPlainText(panel_.ckSpellShowEnglish->isChecked() ? englishText(session_.currentSentence())
                                                                          : QString());
}

void DictationMode::CheckSpelling()
{
    const int n = session_.currentSentence();
    const QString typed = trimBlanks(panel_.teSpell->text());
    panel_.teSpell->setText(typed);
    const QString right = trimBlanks(englishText(n));
    const int position = panel_.ckSpellLenient->isChecked() ? firstForgivingDifference(typed, right)
                                                            : firstExactDifference(typed, right);
    emit answerChecked(n, position == -1, position, !panel_.teEnglish->toPlainText().isEmpty(),
                       !panel_.teChinese->toPlainText().isEmpty());
    if (position == -1) {
        if (panel_.ckSpellHardOnly->isChecked())
            btSpellNext_Click();
        else if (n >= session_.sentenceCount() - 1)
            messages_.inform(window_, kDictationDone);
        else
            btSpellNext_Click();
        return;
    }
    if (position < typed.size())
        panel_.teSpell->setSelection(position, typed[position].isHighSurrogate() ? 2 : 1);
    else
        panel_.teSpell->setCursorPosition(typed.size());
}

int DictationMode::firstExactDifference(const QString& typed, const QString& right) const
{
    const int r = library_.dllCompareSentence(encodeCourseText(typed), encodeCourseText(right));
    // The comparison counts bytes of the course encoding; the box counts
    // characters.
    return r == -1 ? -1 : characterAt(typed, r);
}

void DictationMode::ArmFocusReturn() { panel_.timerFocus->start(); }

void DictationMode::timerFocus_Timer()
{
    panel_.timerFocus->stop();
    panel_.teSpell->setFocus();
}

bool DictationMode::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panel_.teSpell && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CheckSpelling();
            return true;
        }
    }
    if ((watched == panel_.teChinese || watched == panel_.teEnglish) && event->type() == QEvent::FocusIn)
        ArmFocusReturn();
    return StudyMode::eventFilter(watched, event);
}
