#pragma once

// The window that lists the window's keys (F1).

#include "shell/window/Keys.h"

#include <QDialog>

#include <vector>

class KeyTableForm : public QDialog {
    Q_OBJECT
public:
    KeyTableForm(const std::vector<KeyBinding>& keys, QWidget* parent);
};
