// Reverse dictation: hear a sentence, type it, have it checked.

#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"
#include "shell/MainForm.h"
#include "platform/system/MessageBoxes.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

const char* const kAtLastSentence = "已经是最后一个句子了";
const char* const kAtFirstSentence = "已经是第一个句子了";
const char* const kDictationDone = "逆向听写完成!";

// Leading and trailing blanks (U+0020 only) removed.
QString trimBlanks(const QString& text)
{
    int start = 0;
    int end = text.size();
    while (start < end && text[start] == ' ')
        ++start;
    while (end > start && text[end - 1] == ' ')
        --end;
    return text.mid(start, end - start);
}

// Markup turned back into the text it shows: tags dropped, character
// references decoded, white space kept as it stands (the sentence's blanks
// count in the check).
QString markupToText(const QString& markup)
{
    static const QRegularExpression tagOrReference("<[^>]*>|&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z][A-Za-z0-9]*);");
    QString text;
    int at = 0;
    for (auto it = tagOrReference.globalMatch(markup); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        text += markup.mid(at, match.capturedStart() - at);
        if (match.captured(0).startsWith('&'))
            text += QTextDocumentFragment::fromHtml(match.captured(0)).toPlainText();
        at = match.capturedEnd();
    }
    return text + markup.mid(at);
}

// The page gives an element's content as markup; the learner reads and types
// plain text, without the line end the sentence keeps in the page.
QString plainText(const HtmlElement* element)
{
    if (element == nullptr)
        return QString();
    QString text = markupToText(element->innerHtml());
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

// The character position in text at which its encoding holds byte position
// bytePosition (the end of the text when that lies past it).
int characterAt(const QString& text, int bytePosition)
{
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int width = text[i].isHighSurrogate() && i + 1 < text.size()
            ? encodeCourseText(text.mid(i, 2)).size()
            : encodeCourseText(text.mid(i, 1)).size();
        if (bytes + width > bytePosition)
            return i;
        bytes += width;
        if (text[i].isHighSurrogate())
            ++i;
    }
    return text.size();
}

}  // namespace

QString MainForm::englishText(int n) const { return plainText(hasSentence(n) ? oEngs[n] : nullptr); }

QString MainForm::chineseText(int n) const
{
    return plainText(hasSentence(n) && bShowChinese && n < static_cast<int>(oChns.size()) ? oChns[n] : nullptr);
}

void MainForm::btSpell_click()
{
    if (nStatus == StatusSpell) {
        mePlayer->stop();
        Module1::SetToolbarButtonCaption(Toolbar1, kSpellButton.key, kSpellButton.caption);
        SetStatus(StatusLesson);
        if (bSpellSavedShowChinese == 0) {
            bShowChinese = 0;
            LoadLesson();
        }
        if (hasSentence(nSpellSavedSentence))
            SetCurSentence(nSpellSavedSentence);
        return;
    }
    SetStatus(StatusSpell);
    Module1::SetToolbarButtonCaption(Toolbar1, kSpellButton.key, kSpellButton.runningCaption);
    bSpellSavedShowChinese = bShowChinese;
    nSpellSavedSentence = nCurSentence;
    if (bShowChinese == 0) {
        bShowChinese = -1;
        LoadLesson();
        if (hasSentence(nSpellSavedSentence))
            SetCurSentence(nSpellSavedSentence);
    }
    teSpell->setFocus();
    SpellCurSentence();
}

void MainForm::SpellCurSentence()
{
    teSpell->setText(QString());
    teChinese->setPlainText(ckSpellShowChinese->isChecked() ? chineseText(nCurSentence) : QString());
    teEnglish->setPlainText(ckSpellShowEnglish->isChecked() ? englishText(nCurSentence) : QString());
    if (ckSpellAutoSnd->isChecked())
        btSpellSound_Click();
}

void MainForm::btSpellNext_Click()
{
    mePlayer->stop();
    if (nCurSentence >= nSentenceCount - 1) {
        messages().inform(this, kAtLastSentence);
    } else {
        ++nCurSentence;
        ShowPositionText(nCurSentence + 1);
        SpellCurSentence();
    }
    ArmFocusReturn();
}

void MainForm::btSpellPrev_Click()
{
    mePlayer->stop();
    if (nCurSentence <= 0) {
        messages().inform(this, kAtFirstSentence);
    } else {
        --nCurSentence;
        SpellCurSentence();
    }
    ArmFocusReturn();
}

void MainForm::btToStart_Click()
{
    mePlayer->stop();
    if (nSentenceCount > 0)
        nCurSentence = 0;
    SpellCurSentence();
}

void MainForm::btSpellSound_Click()
{
    PlaySentence(nCurSentence, -1);
    ArmFocusReturn();
}

void MainForm::btSpellHint_Click()
{
    teEnglish->setPlainText(trimBlanks(englishText(nCurSentence)));
    ArmFocusReturn();
}

void MainForm::ckSpellShowChinese_Click()
{
    if (bLoading)
        return;
    teChinese->setPlainText(ckSpellShowChinese->isChecked() ? chineseText(nCurSentence) : QString());
}

void MainForm::ckSpellShowEnglish_Click()
{
    if (bLoading)
        return;
    teEnglish->setPlainText(ckSpellShowEnglish->isChecked() ? englishText(nCurSentence) : QString());
}

void MainForm::CheckSpelling()
{
    const QString typed = trimBlanks(teSpell->text());
    teSpell->setText(typed);
    const QString right = trimBlanks(englishText(nCurSentence));
    const int r = library().dllCompareSentence(encodeCourseText(typed), encodeCourseText(right));
    if (r == -1) {
        if (nCurSentence >= nSentenceCount - 1)
            messages().inform(this, kDictationDone);
        else
            btSpellNext_Click();
        return;
    }
    // The comparison counts bytes of the course encoding; the box counts
    // characters.
    const int position = characterAt(typed, r);
    if (position < typed.size())
        teSpell->setSelection(position, typed[position].isHighSurrogate() ? 2 : 1);
    else
        teSpell->setCursorPosition(typed.size());
}

void MainForm::ArmFocusReturn() { timerFocus->start(); }

void MainForm::timerFocus_Timer()
{
    timerFocus->stop();
    teSpell->setFocus();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == teSpell && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CheckSpelling();
            return true;
        }
    }
    if ((watched == teChinese || watched == teEnglish) && event->type() == QEvent::FocusIn)
        ArmFocusReturn();
    return QMainWindow::eventFilter(watched, event);
}
