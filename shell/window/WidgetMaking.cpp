#include "shell/window/WidgetMaking.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

QFont fontOf(const char* family, double points)
{
    QFont font(family);
    font.setPointSizeF(points);
    return font;
}

void placeTwips(QWidget* widget, float left, float top, float width, float height)
{
    widget->setGeometry(TwipsRect{left, top, width, height}.toPixels());
}

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    return named(new QLabel(text, parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QPushButton(caption, parent), name);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QCheckBox(caption, parent), name);
}

QFrame* panel(QWidget* parent, const char* name)
{
    auto* frame = named(new QFrame(parent), name);
    frame->setAutoFillBackground(true);
    return frame;
}
