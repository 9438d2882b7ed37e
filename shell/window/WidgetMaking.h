#pragma once

// Making the window's controls: each with the name it is known by, placed in
// twips, in the fonts the window is designed with.

#include "shell/window/FormLayout.h"

#include <QFont>
#include <QString>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// Debian's nearest equivalents of the fonts the window is designed with.
inline constexpr char kSongTi[] = "Noto Serif CJK SC";
inline constexpr char kArial[] = "Liberation Sans";

QFont fontOf(const char* family, double points);

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// Places a control at a rectangle given in twips.
void placeTwips(QWidget* widget, float left, float top, float width, float height);

QLabel* label(QWidget* parent, const char* name, const QString& text);
QPushButton* button(QWidget* parent, const char* name, const QString& caption);
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption);
// A study mode's panel: a frame filled with the window's colour.
QFrame* panel(QWidget* parent, const char* name);
