// Switching the study status, and the toolbar that starts and stops the modes.

#include "platform/web/HtmlView.h"
#include "platform/web/clsForward.h"
#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "shell/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

void apply(Switch s, const std::function<void(bool)>& set)
{
    if (s != Switch::Keep)
        set(s == Switch::On);
}

}  // namespace

void MainForm::SetStatus(int nStatus_)
{
    nStatus = nStatus_;
    wbAdv->widget()->hide();
    ckShowChinese->setEnabled(false);
    const StatusControls* c = statusControls(nStatus_);
    if (c == nullptr)
        return;
    apply(c->ckShowChinese, [this](bool on) { ckShowChinese->setEnabled(on); });
    apply(c->wbContent, [this](bool on) { wbContent->widget()->setVisible(on); });
    apply(c->wbWords, [this](bool on) { wbWords->widget()->setVisible(on); });
    apply(c->piBrowse, [this](bool on) { piBrowse->setVisible(on); });
    apply(c->piSpell, [this](bool on) { piSpell->setVisible(on); });
    apply(c->piCompare, [this](bool on) { piCompare->setVisible(on); });
    apply(c->cbVolume, [this](bool on) { cbVolume->setEnabled(on); });
    apply(c->lsLesson, [this](bool on) { lsLesson->setEnabled(on); });
    const std::pair<Switch, const ModeButton*> buttons[] = {
        {c->btBrowse, &kBrowseButton},           {c->btSpell, &kSpellButton}, {c->btCompare, &kCompareButton},
        {c->btThinkEnglish, &kThinkEnglishButton}, {c->btWords, &kWordsButton},
    };
    for (const auto& [state, mode] : buttons)
        apply(state, [this, mode = mode](bool on) { Module1::EnableToolbarButton(Toolbar1, mode->key, on ? -1 : 0); });
    pnStatus->setText(c->panelText);
}

void MainForm::Toolbar1_ButtonClick(const QString& key)
{
    // The button's key names the procedure, found by name as the page's
    // presses are.
    clsForward call;
    call.Set_Destination(this, key + "_click");
    call.My_Default_Method();
}

void MainForm::EnableButton(QPushButton* mybutton, int bEnabled)
{
    mybutton->setEnabled(bEnabled != 0);
}
