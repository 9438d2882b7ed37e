#pragma once

// Program-wide procedures and the program folder.

#include <QString>

class QToolBar;
class QWidget;

namespace Module1 {

// The program's folder, without a trailing separator.
extern QString sAppPath;

// Places a window in the middle of its screen.
void CenterForm(QWidget* form);

void EnableToolbarButton(QToolBar* toolbar, const QString& key, int flag);
void SetToolbarButtonCaption(QToolBar* toolbar, const QString& key, const QString& caption);

}  // namespace Module1
