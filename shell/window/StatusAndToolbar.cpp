// The status bar and the toolbar, which follow the study session, and the
// procedures the toolbar and the lesson page call by name.

#include "platform/web/HtmlView.h"
#include "shell/window/BrowsePanel.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Commands.h"
#include "shell/window/ComparePanel.h"
#include "shell/window/MainForm.h"
#include "shell/window/Module1.h"
#include "shell/window/SpellPanel.h"
#include "shell/window/StatusControls.h"
#include "shell/window/VideoPane.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include <functional>

namespace {

void apply(Switch s, const std::function<void(bool)>& set)
{
    if (s != Switch::Keep)
        set(s == Switch::On);
}

}  // namespace

void MainForm::showStatus(int status)
{
    wbAdv->widget()->hide();
    ckShowChinese->setEnabled(false);
    const StatusControls* c = statusControls(status);
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
    const std::pair<const char*, Switch> buttons[] = {
        {"btBrowse", c->btBrowse}, {"btSpell", c->btSpell},         {"btCompare", c->btCompare},
        {"btThinkEnglish", c->btThinkEnglish}, {"btWords", c->btWords},
    };
    for (const auto& [key, state] : buttons)
        apply(state, [this, key = key](bool on) { Module1::EnableToolbarButton(Toolbar1, key, on ? -1 : 0); });
    // A mode's button says how to leave it while it runs.
    for (const ModeButton& button : kToolbarButtons) {
        if (button.status != 0)
            Module1::SetToolbarButtonCaption(Toolbar1, button.key,
                                             button.status == status ? button.runningCaption : button.caption);
    }
    pnStatus->setText(c->panelText);
    videoPane_->setDictating(status == StatusSpell);
    applyLayout();
    // The keyboard goes to the page the status shows, so the sentence keys
    // act on it rather than on a list the focus fell to when a panel closed.
    (status == StatusWords ? wbWords : wbContent)->widget()->setFocus();
}

void MainForm::showPosition(int sentenceCount, int sentenceNumber)
{
    pnSubStatus->setText(QString("共 %1 句，当前是第 %2 句").arg(sentenceCount).arg(sentenceNumber));
}

void MainForm::Toolbar1_ButtonClick(const QString& key)
{
    // The button's key names its command.
    commands_->run(key);
}

void MainForm::HtmlEventHandler() { modes_->HtmlEventHandler(); }

void MainForm::btBrowse_Click() { modes_->toggle(modes_->autoBrowse()); }

void MainForm::btCompare_click() { modes_->toggle(modes_->comparison()); }

void MainForm::btSpell_click() { modes_->toggle(modes_->dictation()); }

void MainForm::btThinkEnglish_click() { modes_->toggle(modes_->recallEnglish()); }

void MainForm::btWords_click() { modes_->toggle(modes_->vocabulary()); }

void MainForm::cbVolume_Click()
{
    wbAdv->widget()->hide();
    catalogue_->volumeChosen();
}

void MainForm::lsLesson_Click()
{
    // Emptying the list leaves no lesson selected: nothing to load.
    if (lsLesson->currentRow() < 0)
        return;
    wbAdv->widget()->hide();
    catalogue_->LoadLesson();
}

void MainForm::ckShowChinese_Click()
{
    wbAdv->widget()->hide();
    session_->setChineseChosen(ckShowChinese->isChecked());
}

void MainForm::cbSpeed_Click() { playback_->setSpeedPercent(cbSpeed->currentData().toInt()); }

void MainForm::wbContent_DocumentComplete() { catalogue_->pageComplete(); }
