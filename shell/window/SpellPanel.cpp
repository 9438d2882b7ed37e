#include "shell/window/SpellPanel.h"

#include "shell/window/WidgetMaking.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

constexpr int kFocusReturnMs = 100;

}  // namespace

SpellPanel::SpellPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName("piSpell");
    setAutoFillBackground(true);
    placeTwips(ckSpellAutoSnd = checkBox(this, "ckSpellAutoSnd", "句子发音"), 120, 150, 1035, 195);
    placeTwips(ckSpellShowEnglish = checkBox(this, "ckSpellShowEnglish", "显示英文"), 1200, 150, 1095, 195);
    placeTwips(ckSpellShowChinese = checkBox(this, "ckSpellShowChinese", "显示中文"), 2310, 150, 1095, 195);
    ckSpellAutoSnd->setChecked(true);
    ckSpellShowChinese->setChecked(true);
    placeTwips(btToStart = button(this, "btToStart", "&B从头开始"), 3450, 90, 1050, 315);
    placeTwips(btSpellPrev = button(this, "btSpellPrev", "&P 上一句"), 4560, 90, 990, 315);
    placeTwips(btSpellNext = button(this, "btSpellNext", "&N 下一句"), 5640, 90, 990, 315);
    placeTwips(btSpellSound = button(this, "btSpellSound", "&S 发音"), 6720, 90, 990, 315);
    placeTwips(btSpellHint = button(this, "btSpellHint", "&H 提示"), 7800, 90, 990, 315);
    // Beside the answer box's title, where place() puts them.
    ckSpellLenient = checkBox(this, "ckSpellLenient", "忽略大小写和标点");
    ckSpellHardOnly = checkBox(this, "ckSpellHardOnly", "只练难句");
    for (QCheckBox* box : {ckSpellAutoSnd, ckSpellShowEnglish, ckSpellShowChinese, ckSpellLenient, ckSpellHardOnly})
        box->setMinimumHeight(box->sizeHint().height());

    lineSpell = named(new QFrame(this), "lineSpell");
    lineSpell->setFrameShape(QFrame::NoFrame);
    lineSpell->setAutoFillBackground(true);
    lineSpell->setStyleSheet("background-color: rgb(192, 0, 0);");

    lbEnglishTitle = label(this, "lbEnglishTitle", "句子英文提示：");
    teEnglish = named(new QPlainTextEdit(this), "teEnglish");
    teEnglish->setFont(fontOf(kArial, 14.25));
    lbChineseTitle = label(this, "lbChineseTitle", "句子中文提示：");
    teChinese = named(new QPlainTextEdit(this), "teChinese");
    teChinese->setFont(fontOf(kSongTi, 12));
    lbSpellTitle = label(this, "lbSpellTitle", "在此听写：");
    teSpell = named(new QLineEdit(this), "teSpell");
    teSpell->setFont(fontOf(kArial, 14.25));
    // The answer is English: letters come straight from the keyboard even
    // while a Chinese input method is on for the rest of the desktop.
    teSpell->setAttribute(Qt::WA_InputMethodEnabled, false);
    teSpell->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    for (QPlainTextEdit* hint : {teEnglish, teChinese})
        hint->setReadOnly(true);
    for (QWidget* box : {static_cast<QWidget*>(teSpell), static_cast<QWidget*>(teChinese),
                         static_cast<QWidget*>(teEnglish)})
        box->installEventFilter(this);

    timerFocus = named(new QTimer(this), "timerFocus");
    timerFocus->setInterval(kFocusReturnMs);
    connect(timerFocus, &QTimer::timeout, this, [this] {
        timerFocus->stop();
        teSpell->setFocus();
    });
}

void SpellPanel::connectTo(DictationMode& mode)
{
    mode_ = &mode;
    connect(btSpellNext, &QPushButton::clicked, &mode, &DictationMode::btSpellNext_Click);
    connect(btSpellPrev, &QPushButton::clicked, &mode, &DictationMode::btSpellPrev_Click);
    connect(btToStart, &QPushButton::clicked, &mode, &DictationMode::btToStart_Click);
    connect(btSpellSound, &QPushButton::clicked, &mode, &DictationMode::btSpellSound_Click);
    connect(btSpellHint, &QPushButton::clicked, &mode, &DictationMode::btSpellHint_Click);
    connect(ckSpellShowChinese, &QCheckBox::clicked, &mode, &DictationMode::ckSpellShowChinese_Click);
    connect(ckSpellShowEnglish, &QCheckBox::clicked, &mode, &DictationMode::ckSpellShowEnglish_Click);
    connect(this, &SpellPanel::answerEntered, &mode, &DictationMode::CheckSpelling);
}

std::vector<KeyBinding> SpellPanel::keys() const
{
    const auto running = [this] { return mode_ != nullptr && mode_->isRunning(); };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    return {
        {Qt::Key_PageUp, none, "PgUp", "逆向听写中：上一句（在听写框中也可用）", btSpellPrev, KeyBinding::Never, true,
         clickWhen(btSpellPrev, running)},
        {Qt::Key_PageDown, none, "PgDn", "逆向听写中：下一句（在听写框中也可用）", btSpellNext, KeyBinding::Never,
         true, clickWhen(btSpellNext, running)},
    };
}

void SpellPanel::place(const FormLayout& l)
{
    const struct {
        QWidget* widget;
        const TwipsRect& rect;
    } placed[] = {
        {lbEnglishTitle, l.lbEnglishTitle}, {teEnglish, l.teEnglish}, {lbChineseTitle, l.lbChineseTitle},
        {teChinese, l.teChinese},           {lbSpellTitle, l.lbSpellTitle}, {teSpell, l.teSpell},
    };
    for (const auto& p : placed)
        p.widget->setGeometry(p.rect.toPixels());
    lineSpell->setGeometry(TwipsRect{l.lineSpellX1, l.lineSpellY, l.lineSpellX2 - l.lineSpellX1, 15}.toPixels());
    // The forgiving check and the hard sentences' sit on the answer box's
    // title line.
    const TwipsRect title = l.lbSpellTitle;
    ckSpellLenient->setGeometry(TwipsRect{title.left + 2400, title.top - 30, 2700, 285}.toPixels());
    ckSpellHardOnly->setGeometry(TwipsRect{title.left + 5250, title.top - 30, 1800, 285}.toPixels());
}

bool SpellPanel::playsEachSentence() const { return ckSpellAutoSnd->isChecked(); }
bool SpellPanel::showsEnglishHint() const { return ckSpellShowEnglish->isChecked(); }
bool SpellPanel::showsChineseHint() const { return ckSpellShowChinese->isChecked(); }
bool SpellPanel::isLenient() const { return ckSpellLenient->isChecked(); }
bool SpellPanel::hardSentencesOnly() const { return ckSpellHardOnly->isChecked(); }
QString SpellPanel::answer() const { return teSpell->text(); }
void SpellPanel::setAnswer(const QString& text) { teSpell->setText(text); }
void SpellPanel::selectInAnswer(int start, int length) { teSpell->setSelection(start, length); }
void SpellPanel::putCursorInAnswer(int position) { teSpell->setCursorPosition(position); }
QString SpellPanel::englishHint() const { return teEnglish->toPlainText(); }
void SpellPanel::setEnglishHint(const QString& text) { teEnglish->setPlainText(text); }
QString SpellPanel::chineseHint() const { return teChinese->toPlainText(); }
void SpellPanel::setChineseHint(const QString& text) { teChinese->setPlainText(text); }
void SpellPanel::focusAnswer() { teSpell->setFocus(); }
void SpellPanel::returnFocusSoon() { timerFocus->start(); }

void SpellPanel::showOptions(const Options& o)
{
    const std::pair<QCheckBox*, bool> boxes[] = {{ckSpellAutoSnd, o.playsEachSentence},
                                                 {ckSpellShowEnglish, o.showsEnglish},
                                                 {ckSpellShowChinese, o.showsChinese},
                                                 {ckSpellLenient, o.lenient},
                                                 {ckSpellHardOnly, o.hardOnly}};
    for (const auto& [box, checked] : boxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
}

SpellPanel::Options SpellPanel::options() const
{
    return {ckSpellAutoSnd->isChecked(), ckSpellShowEnglish->isChecked(), ckSpellShowChinese->isChecked(),
            ckSpellLenient->isChecked(), ckSpellHardOnly->isChecked()};
}

bool SpellPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == teSpell && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit answerEntered();
            return true;
        }
    }
    if ((watched == teChinese || watched == teEnglish) && event->type() == QEvent::FocusIn)
        returnFocusSoon();
    return QFrame::eventFilter(watched, event);
}
