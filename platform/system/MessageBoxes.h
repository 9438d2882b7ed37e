#pragma once

// Message boxes of the main window, behind an interface so that tests can
// answer them.

#include <QString>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A message with an OK button.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
};

// The real boxes, titled with the program's name.
class QtMessageBoxes : public MessageBoxes {
public:
    void inform(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
};

extern const char* const kApplicationTitle;
