#pragma once

// Program-wide procedures and the program folder.

#include <QString>

class QToolBar;
class QWidget;

namespace Module1 {

// The program's folder, without a trailing separator: the library, the
// toolbar pictures and the shipped volumes are found there.
extern QString sAppPath;

// A file a run writes (the pages, the learner's take), by its full path. The
// run writes them into its working folder, which Main makes the user folder
// (see RunFolders); elsewhere they are named relative to it.
QString UserFile(const QString& name);

// Places a window in the middle of its screen.
void CenterForm(QWidget* form);

// Shows a window over the others, restored if it was minimised.
void BringToFront(QWidget* form);

void EnableToolbarButton(QToolBar* toolbar, const QString& key, int flag);
void SetToolbarButtonCaption(QToolBar* toolbar, const QString& key, const QString& caption);

}  // namespace Module1
