#pragma once

// The window's keys, and the window that lists them (F1).

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

class QAbstractButton;

struct KeyBinding {
    // Where a focused control keeps the key for itself.
    enum Yield {
        Never,
        ToTextBoxes,           // typed into a text box
        ToTextBoxesAndLists,   // also moves in a list or drop-down list
    };

    int key;
    Qt::KeyboardModifiers modifiers;
    QString keyName;  // as the key table shows it
    QString action;   // what it does, for the key table
    // The button the key stands for, if it stands for one: it does nothing
    // while the button is disabled, and the button's tip names the key.
    QAbstractButton* button;
    Yield yield;
    bool repeats;     // held down, it acts again
    // Does the key's work; false when it has nothing to do in the window's
    // present state, and the key goes on to the focused control.
    std::function<bool()> run;
};

class KeyTableForm : public QDialog {
    Q_OBJECT
public:
    KeyTableForm(const std::vector<KeyBinding>& keys, QWidget* parent);
};
