#include "NamedControls.h"

#include <gtest/gtest.h>

namespace {

template <typename T>
T* find(const QWidget& form, const char* name)
{
    T* control = form.findChild<T*>(name);
    if (control == nullptr)
        ADD_FAILURE() << "the window has no control named " << name;
    return control;
}

}  // namespace

NamedControls::NamedControls(const QWidget& f)
    : Toolbar1(find<QToolBar>(f, "Toolbar1")), pnStatus(find<QLabel>(f, "pnStatus")),
      pnSubStatus(find<QLabel>(f, "pnSubStatus")), pnNotice(find<QLabel>(f, "pnNotice")),
      cbVolume(find<QComboBox>(f, "cbVolume")), lsLesson(find<QListWidget>(f, "lsLesson")),
      wbContent(find<QWidget>(f, "wbContent")), wbWords(find<QWidget>(f, "wbWords")),
      wbAdv(find<QWidget>(f, "wbAdv")), ckShowChinese(find<QCheckBox>(f, "ckShowChinese")),
      lbCurLesson(find<QLabel>(f, "lbCurLesson")), piBrowse(find<QFrame>(f, "piBrowse")),
      piCompare(find<QFrame>(f, "piCompare")), piSpell(find<QFrame>(f, "piSpell")),
      cbRepeatTimes(find<QComboBox>(f, "cbRepeatTimes")), cbBrowseGap(find<QComboBox>(f, "cbBrowseGap")),
      btRecord(find<QPushButton>(f, "btRecord")), btStandard(find<QPushButton>(f, "btStandard")),
      btUser(find<QPushButton>(f, "btUser")), btLoop(find<QPushButton>(f, "btLoop")),
      btCompareNext(find<QPushButton>(f, "btCompareNext")), btCompareStop(find<QPushButton>(f, "btCompareStop")),
      lbCompareStatus(find<QLabel>(f, "lbCompareStatus")), ckSpellAutoSnd(find<QCheckBox>(f, "ckSpellAutoSnd")),
      ckSpellShowEnglish(find<QCheckBox>(f, "ckSpellShowEnglish")),
      ckSpellShowChinese(find<QCheckBox>(f, "ckSpellShowChinese")), btToStart(find<QPushButton>(f, "btToStart")),
      btSpellPrev(find<QPushButton>(f, "btSpellPrev")), btSpellNext(find<QPushButton>(f, "btSpellNext")),
      btSpellSound(find<QPushButton>(f, "btSpellSound")), btSpellHint(find<QPushButton>(f, "btSpellHint")),
      teEnglish(find<QPlainTextEdit>(f, "teEnglish")), teChinese(find<QPlainTextEdit>(f, "teChinese")),
      teSpell(find<QLineEdit>(f, "teSpell")), timerFocus(find<QTimer>(f, "timerFocus"))
{
}
