#pragma once

// The real message boxes, titled with the program's name, over the window
// they are given.

#include "platform/system/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

class QtMessageBoxes : public MessageBoxes {
public:
    void inform(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void setParentWindow(QWidget* window) override { parent_ = window; }

private:
    QPointer<QWidget> parent_;
};
