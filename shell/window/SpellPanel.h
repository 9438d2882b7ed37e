#pragma once

// The reverse-dictation panel: the options, the buttons, the two hint boxes
// and the answer box. Enter in the answer box checks the answer; after a
// button press the focus returns to the answer box.

#include "shell/window/Keys.h"
#include "study/DictationMode.h"

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
struct FormLayout;

class SpellPanel : public QFrame, public SpellPanelView {
    Q_OBJECT
public:
    explicit SpellPanel(QWidget* parent);

    void connectTo(DictationMode& mode);
    // PgUp and PgDn, while dictation runs.
    std::vector<KeyBinding> keys() const;
    // The stretching parts: the hint and answer boxes with their titles.
    void place(const FormLayout& layout);

    bool playsEachSentence() const override;
    bool showsEnglishHint() const override;
    bool showsChineseHint() const override;
    bool isLenient() const override;
    bool hardSentencesOnly() const override;
    QString answer() const override;
    void setAnswer(const QString& text) override;
    void selectInAnswer(int start, int length) override;
    void putCursorInAnswer(int position) override;
    QString englishHint() const override;
    void setEnglishHint(const QString& text) override;
    QString chineseHint() const override;
    void setChineseHint(const QString& text) override;
    void focusAnswer() override;
    void returnFocusSoon() override;

    // The options as stored, set without acting on them.
    struct Options {
        bool playsEachSentence, showsEnglish, showsChinese, lenient, hardOnly;
    };
    void showOptions(const Options& options);
    Options options() const;

signals:
    void answerEntered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const DictationMode* mode_ = nullptr;
    QCheckBox* ckSpellAutoSnd;
    QCheckBox* ckSpellShowEnglish;
    QCheckBox* ckSpellShowChinese;
    QCheckBox* ckSpellLenient;
    QCheckBox* ckSpellHardOnly;
    QPushButton *btToStart, *btSpellPrev, *btSpellNext, *btSpellSound, *btSpellHint;
    QFrame* lineSpell;
    QLabel *lbEnglishTitle, *lbChineseTitle, *lbSpellTitle;
    QPlainTextEdit* teEnglish;  // hint boxes, read-only
    QPlainTextEdit* teChinese;
    QLineEdit* teSpell;  // the answer
    QTimer* timerFocus;  // gives the focus back to the answer box
};
