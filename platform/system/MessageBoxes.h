#pragma once

// Message boxes over the main window, behind an interface so that tests can
// answer them. The boxes know the window they belong to; the study objects
// that ask never see it.

#include <QString>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A message with an OK button.
    virtual void inform(const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // The window the boxes show over; none (the default) centres them on the
    // screen.
    virtual void setParentWindow(QWidget*) {}
};

inline constexpr char kApplicationTitle[] = "Lexbay";
