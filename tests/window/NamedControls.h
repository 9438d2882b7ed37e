#pragma once

// The main window's controls, found by the names the window gives them (as
// a test driver or a screen reader finds them), not through its members.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

struct NamedControls {
    explicit NamedControls(const QWidget& form);

    QToolBar* Toolbar1;
    QLabel *pnStatus, *pnSubStatus, *pnNotice;
    QComboBox* cbVolume;
    QListWidget* lsLesson;
    // The widgets of the lesson, word and welcome views.
    QWidget *wbContent, *wbWords, *wbAdv;
    QCheckBox* ckShowChinese;
    QLabel* lbCurLesson;
    QFrame *piBrowse, *piCompare, *piSpell;
    QComboBox *cbRepeatTimes, *cbBrowseGap;
    QPushButton *btRecord, *btStandard, *btUser, *btLoop, *btCompareNext, *btCompareStop;
    QLabel* lbCompareStatus;
    QCheckBox *ckSpellAutoSnd, *ckSpellShowEnglish, *ckSpellShowChinese;
    QPushButton *btToStart, *btSpellPrev, *btSpellNext, *btSpellSound, *btSpellHint;
    QPlainTextEdit *teEnglish, *teChinese;
    QLineEdit* teSpell;
    QTimer* timerFocus;
};

inline NamedControls ui(const QWidget& form) { return NamedControls(form); }
