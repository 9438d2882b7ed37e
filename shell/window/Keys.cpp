#include "shell/window/Keys.h"

#include "shell/window/KeyTableForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

namespace {

bool isTextBox(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)
        || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

bool usesSpaceAndArrows(const QWidget* w)
{
    return isTextBox(w) || qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QComboBox*>(w)
        || qobject_cast<const QAbstractButton*>(w);
}

bool keptBy(const QWidget* focus, KeyBinding::Yield yield)
{
    switch (yield) {
    case KeyBinding::ToTextBoxes: return isTextBox(focus);
    case KeyBinding::ToControls: return usesSpaceAndArrows(focus);
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

}  // namespace

std::function<bool()> clickWhen(QAbstractButton* button, std::function<bool()> when)
{
    return [button, when] {
        if (when && !when())
            return false;
        if (button->isEnabled())
            button->click();
        return true;
    };
}

Keys::Keys(QWidget& window) : QObject(&window), window_(window) { qApp->installEventFilter(this); }

Keys::~Keys() { qApp->removeEventFilter(this); }

void Keys::add(std::vector<KeyBinding> bindings)
{
    for (KeyBinding& binding : bindings) {
        // Not added to a widget, so Qt's own shortcuts leave the key to the
        // filter below, which knows where a control keeps it.
        auto* action = new QAction(binding.action, &window_);
        action->setObjectName("key " + binding.keyName);
        action->setShortcut(QKeySequence(binding.key | int(binding.modifiers)));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setProperty("keyName", binding.keyName);
        connect(action, &QAction::triggered, this, [run = binding.run] { run(); });
        actions_.append(action);
        bindings_.push_back(std::move(binding));
    }
}

void Keys::nameInTips()
{
    const auto buttons = window_.findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            continue;
        QStringList names;
        for (const KeyBinding& binding : bindings_) {
            if (binding.button == button)
                names << binding.keyName;
        }
        if (const QString letter = accessKey(button->text()); !letter.isEmpty())
            names << "Alt+" + letter;
        QString tip = names.isEmpty() ? QString() : "快捷键：" + names.join(" 或 ");
        // A button that shows its icon alone says in its tip what it is.
        auto* tool = qobject_cast<QToolButton*>(button);
        if (tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            tip = tip.isEmpty() ? tool->text() : tool->text() + "（" + tip + "）";
        if (!tip.isEmpty())
            button->setToolTip(tip);
    }
}

bool Keys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    // Once per key, where it is delivered first: the focused control, or the
    // window when nothing has the focus. A key a control passes on to its
    // parents comes by again and is left alone then.
    QWidget* focus = QApplication::focusWidget();
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr || receiver->window() != &window_ || receiver != (focus != nullptr ? focus : &window_))
        return false;
    return run(*static_cast<QKeyEvent*>(event), focus);
}

bool Keys::run(const QKeyEvent& event, const QWidget* focus)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    for (const KeyBinding& binding : bindings_) {
        if (binding.key != event.key() || binding.modifiers != modifiers)
            continue;
        if (keptBy(focus, binding.yield) || (event.isAutoRepeat() && !binding.repeats))
            return false;
        return binding.run();
    }
    return false;
}

bool Keys::showTable()
{
    if (table_ == nullptr)
        table_ = new KeyTableForm(actions_, &window_);
    table_->show();
    table_->raise();
    table_->activateWindow();
    return true;
}
