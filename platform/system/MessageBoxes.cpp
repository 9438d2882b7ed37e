#include "platform/system/MessageBoxes.h"

#include <QMessageBox>

const char* const kApplicationTitle = "Lexbay";

void QtMessageBoxes::inform(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, kApplicationTitle, text, QMessageBox::Ok);
}

bool QtMessageBoxes::askYesNo(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}
