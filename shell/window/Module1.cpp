#include "shell/window/Module1.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace Module1 {

QString sAppPath;

namespace {

QToolButton* toolbarButton(QToolBar* toolbar, const QString& key)
{
    return toolbar != nullptr ? toolbar->findChild<QToolButton*>(key) : nullptr;
}

}  // namespace

QString UserFile(const QString& name) { return QDir::current().absoluteFilePath(name); }

void CenterForm(QWidget* form)
{
    QScreen* screen = form->screen() != nullptr ? form->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const QSize outer = form->frameGeometry().size();
    form->move(area.left() + area.width() / 2 - outer.width() / 2, area.top() + area.height() / 2 - outer.height() / 2);
}

void BringToFront(QWidget* form)
{
    form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    form->show();
    form->raise();
    form->activateWindow();
}

void EnableToolbarButton(QToolBar* toolbar, const QString& key, int flag)
{
    if (QToolButton* button = toolbarButton(toolbar, key))
        button->setEnabled(flag != 0);
}

void SetToolbarButtonCaption(QToolBar* toolbar, const QString& key, const QString& caption)
{
    if (QToolButton* button = toolbarButton(toolbar, key))
        button->setText(caption);
}

}  // namespace Module1
