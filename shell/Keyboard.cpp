// The window by keyboard alone: the keys, the key table and the buttons' tips.
// Keys are taken wherever the focus is in the window, the lesson page
// included, before the focused control sees them; a text box keeps what it
// types, and a list or drop-down list keeps the keys it moves with.

#include "shell/KeyTableForm.h"
#include "shell/MainForm.h"
#include "shell/StatusControls.h"
#include "study/RecallEnglishMode.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace {

bool isTextBox(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)
        || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

bool isList(const QWidget* w)
{
    return qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QComboBox*>(w);
}

bool keptBy(const QWidget* focus, KeyBinding::Yield yield)
{
    switch (yield) {
    case KeyBinding::ToTextBoxes: return isTextBox(focus);
    case KeyBinding::ToTextBoxesAndLists: return isTextBox(focus) || isList(focus);
    case KeyBinding::Never: break;
    }
    return false;
}

// The letter after "&" in a caption: the button's Alt key.
QString accessKey(const QString& caption)
{
    const int at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption.mid(at + 1, 1).toUpper() : QString();
}

// A caption as the key table names it: "&R 录音" is "录音".
QString withoutAccessKey(const QString& caption)
{
    const int at = caption.indexOf('&');
    return (at >= 0 ? caption.left(at) + caption.mid(at + 2) : caption).trimmed();
}

}  // namespace

void MainForm::createKeys()
{
    const auto click = [](QAbstractButton* button) {
        return [button] {
            if (button->isEnabled())
                button->click();
            return true;
        };
    };
    const auto inStatus = [this](int status, std::function<bool()> work) {
        return [this, status, work] { return session_->status() == status && work(); };
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    using K = KeyBinding;
    keys_.push_back({Qt::Key_F1, none, "F1", "显示本表", nullptr, K::Never, false, [this] { return showKeyTable(); }});
    int functionKey = Qt::Key_F2;
    for (const ModeButton& b : kToolbarButtons) {
        auto* button = Toolbar1->findChild<QToolButton*>(b.key);
        const QString action = b.status != 0 ? QString("%1 / %2").arg(b.caption, b.runningCaption) : b.caption;
        keys_.push_back({functionKey, none, QString("F%1").arg(functionKey - Qt::Key_F1 + 1), action, button,
                         K::Never, false, click(button)});
        ++functionKey;
    }
    keys_.push_back({Qt::Key_Escape, none, "Esc", "结束正在进行的学习方式", nullptr, K::Never, false,
                     [this] { return leaveRunningMode(); }});
    keys_.push_back({Qt::Key_Space, none, "空格", "播放当前句，同按句前的喇叭", nullptr, K::ToTextBoxesAndLists,
                     false, [this] { return pressCurrentSentence(); }});
    keys_.push_back({Qt::Key_Up, none, "↑", "上一句；自动浏览中跳到上一句播放；回想英文中重新隐藏最后显示的一句",
                     nullptr, K::ToTextBoxesAndLists, true, [this] { return stepSentence(-1); }});
    keys_.push_back({Qt::Key_Down, none, "↓", "下一句；自动浏览中跳到下一句播放；回想英文中显示下一句英文",
                     nullptr, K::ToTextBoxesAndLists, true, [this] { return stepSentence(+1); }});
    keys_.push_back({Qt::Key_Down, Qt::ControlModifier, "Ctrl+↓", "语速慢一档", nullptr, K::Never, true,
                     [this] { return stepSpeed(-1); }});
    keys_.push_back({Qt::Key_Up, Qt::ControlModifier, "Ctrl+↑", "语速快一档", nullptr, K::Never, true,
                     [this] { return stepSpeed(+1); }});
    const ComparePanel& c = comparePanel_;
    for (const auto& [key, button] : std::initializer_list<std::pair<int, QPushButton*>>{
             {Qt::Key_R, c.btRecord}, {Qt::Key_D, c.btStandard}, {Qt::Key_U, c.btUser},
             {Qt::Key_L, c.btLoop}, {Qt::Key_N, c.btCompareNext}, {Qt::Key_S, c.btCompareStop}}) {
        const QString caption = withoutAccessKey(button->text());
        keys_.push_back({key, none, QString(QChar(key)), "跟读对比中：" + caption, button, K::ToTextBoxes, false,
                         inStatus(StatusCompare, click(button))});
    }
    keys_.push_back({Qt::Key_PageUp, none, "PgUp", "逆向听写中：上一句（在听写框中也可用）", spellPanel_.btSpellPrev,
                     K::Never, true, inStatus(StatusSpell, click(spellPanel_.btSpellPrev))});
    keys_.push_back({Qt::Key_PageDown, none, "PgDn", "逆向听写中：下一句（在听写框中也可用）", spellPanel_.btSpellNext,
                     K::Never, true, inStatus(StatusSpell, click(spellPanel_.btSpellNext))});
    nameKeysInTips();
    qApp->installEventFilter(this);
}

void MainForm::nameKeysInTips()
{
    auto buttons = findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            continue;
        QStringList names;
        for (const KeyBinding& binding : keys_) {
            if (binding.button == button)
                names << binding.keyName;
        }
        if (const QString letter = accessKey(button->text()); !letter.isEmpty())
            names << "Alt+" + letter;
        if (!names.isEmpty())
            button->setToolTip("快捷键：" + names.join(" 或 "));
    }
    cbSpeed->setToolTip("快捷键：Ctrl+↑ 快一档，Ctrl+↓ 慢一档");
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    // Once per key, where it is delivered first: the focused control, or the
    // window when nothing has the focus. A key a control passes on to its
    // parents comes by again and is left alone then.
    QWidget* focus = QApplication::focusWidget();
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr || receiver->window() != this || receiver != (focus != nullptr ? focus : this))
        return QMainWindow::eventFilter(watched, event);
    return runKey(*static_cast<QKeyEvent*>(event), focus);
}

bool MainForm::runKey(const QKeyEvent& event, const QWidget* focus)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const KeyBinding& binding : keys_) {
        if (binding.key != event.key() || binding.modifiers != modifiers)
            continue;
        if (keptBy(focus, binding.yield) || (event.isAutoRepeat() && !binding.repeats))
            return false;
        return binding.run();
    }
    return false;
}

bool MainForm::showKeyTable()
{
    if (keyTable_ == nullptr)
        keyTable_ = new KeyTableForm(keys_, this);
    keyTable_->show();
    keyTable_->raise();
    keyTable_->activateWindow();
    return true;
}

bool MainForm::leaveRunningMode()
{
    for (const ModeButton& b : kToolbarButtons) {
        if (b.status != 0 && b.status == session_->status()) {
            Toolbar1->findChild<QToolButton*>(b.key)->click();
            return true;
        }
    }
    return false;
}

bool MainForm::lessonPageShown() const
{
    return session_->status() != 0 && session_->status() != StatusWords && session_->sentenceCount() > 0;
}

bool MainForm::pressCurrentSentence()
{
    if (!lessonPageShown())
        return false;
    modes_->pressSentence(session_->currentSentence(), false);
    return true;
}

bool MainForm::stepSentence(int step)
{
    if (!lessonPageShown())
        return false;
    if (session_->status() == StatusThinkEnglish) {
        const RecallEnglishMode& recall = modes_->recallEnglish();
        const int n = step > 0 ? recall.firstHidden() : recall.lastShown();
        if (n >= 0)
            modes_->pressSentence(n, true);
        return true;
    }
    const int n = session_->currentSentence() + step;
    if (session_->hasSentence(n))
        modes_->pressSentence(n, session_->status() != StatusBrowse);
    return true;
}

bool MainForm::stepSpeed(int step)
{
    const int index = cbSpeed->currentIndex() + step;
    if (index >= 0 && index < cbSpeed->count())
        cbSpeed->setCurrentIndex(index);
    return true;
}
