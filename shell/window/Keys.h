#pragma once

// The window's keys: each key's binding, taken wherever the focus is in the
// window before the focused control sees it, unless that control uses the
// key itself. Each binding is a QAction with the key as its shortcut, run by
// the key or by triggering the action; the buttons' tips name their keys,
// and F1 lists the actions.

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <vector>

class KeyTableForm;
class QAbstractButton;
class QAction;
class QKeyEvent;
class QWidget;

struct KeyBinding {
    // Where a focused control keeps the key for itself.
    enum Yield {
        Never,
        ToTextBoxes,  // typed into a text box
        // Space and the arrows: a text box types or moves in them, a list or
        // drop-down list moves, a button or check box is pressed with Space
        // and moves the focus with the arrows.
        ToControls,
    };

    int key;
    Qt::KeyboardModifiers modifiers;
    QString keyName;  // as the key table shows it
    QString action;   // what it does, for the key table
    // The button the key stands for, if it stands for one: it does nothing
    // while the button is disabled, and the button's tip names the key.
    QAbstractButton* button;
    Yield yield;
    bool repeats;  // held down, it acts again
    // Does the key's work; false when it has nothing to do in the window's
    // present state, and the key goes on to the focused control.
    std::function<bool()> run;
};

// A key's work that clicks a button when it is enabled, while `when` holds.
std::function<bool()> clickWhen(QAbstractButton* button, std::function<bool()> when = {});

class Keys : public QObject {
    Q_OBJECT
public:
    explicit Keys(QWidget& window);
    ~Keys() override;

    // Adds the bindings, each with its action, a child of the window.
    void add(std::vector<KeyBinding> bindings);
    const std::vector<KeyBinding>& bindings() const { return bindings_; }
    // The bindings' actions, in the order they were added: the action's text
    // says what the key does, its "keyName" property names the key as the
    // key table shows it.
    const QVector<QAction*>& actions() const { return actions_; }
    // Writes each push or tool button's keys into its tip.
    void nameInTips();
    // The key table (F1).
    bool showTable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool run(const QKeyEvent& event, const QWidget* focus);

    QWidget& window_;
    std::vector<KeyBinding> bindings_;
    QVector<QAction*> actions_;
    KeyTableForm* table_ = nullptr;
};
