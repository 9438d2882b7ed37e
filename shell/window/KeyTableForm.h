#pragma once

// The window that lists the window's keys (F1): each key's action, with the
// keys the controls have of themselves.

#include <QDialog>
#include <QVector>

class QAction;

class KeyTableForm : public QDialog {
    Q_OBJECT
public:
    KeyTableForm(const QVector<QAction*>& keys, QWidget* parent);
};
