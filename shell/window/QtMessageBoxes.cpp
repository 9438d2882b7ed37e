#include "shell/window/QtMessageBoxes.h"

#include <QMessageBox>

void QtMessageBoxes::inform(const QString& text)
{
    QMessageBox::information(parent_, kApplicationTitle, text, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(const QString& text)
{
    return QMessageBox::question(parent_, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}
