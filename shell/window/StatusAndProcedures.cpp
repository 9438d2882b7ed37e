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
#include "shell/window/StatusViews.h"
#include "shell/widgets/VideoPane.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QtGlobal>
#include <QListWidget>

#include <functional>

// How a status shows or enables the control named `control`, and hides or
// disables it; an empty function for a name the window has no control of.
std::function<void(bool)> MainForm::statusSwitch(const QString& control)
{
    if (control == "ckShowChinese")
        return [this](bool on) { ckShowChinese->setEnabled(on); };
    if (control == "cbVolume")
        return [this](bool on) { cbVolume->setEnabled(on); };
    if (control == "lsLesson")
        return [this](bool on) { lsLesson->setEnabled(on); };
    if (control == "wbContent" || control == "wbWords") {
        HtmlView* view = control == "wbContent" ? wbContent : wbWords;
        return [view](bool on) { view->widget()->setVisible(on); };
    }
    const std::pair<const char*, QWidget*> panels[] = {{"piBrowse", piBrowse}, {"piSpell", piSpell}, {"piCompare", piCompare}};
    for (const auto& [name, panel] : panels) {
        if (control == name)
            return [panel = panel](bool on) { panel->setVisible(on); };
    }
    if (commands_->find(control) != nullptr)
        return [this, control](bool on) { Module1::EnableToolbarButton(Toolbar1, control, on ? -1 : 0); };
    return {};
}

// Every control a status names is one of the window's: a misspelt name is a
// fault of the program, said at start-up rather than ignored.
void MainForm::checkStatusViews()
{
    for (const StatusView& view : statusViews()) {
        for (const auto* names : {&view.on, &view.off}) {
            for (const char* name : *names) {
                if (!statusSwitch(name)) {
                    qCritical("Lexbay: the status %s names no control \"%s\"", view.caption, name);
                    Q_ASSERT_X(false, "MainForm::checkStatusViews", name);
                }
            }
        }
    }
}

void MainForm::showStatus(int status)
{
    wbAdv->widget()->hide();
    ckShowChinese->setEnabled(false);
    const StatusView* view = statusView(status);
    if (view == nullptr)
        return;
    for (const char* name : view->on) {
        if (const auto set = statusSwitch(name))
            set(true);
    }
    for (const char* name : view->off) {
        if (const auto set = statusSwitch(name))
            set(false);
    }
    // A mode's button says how to leave it while it runs.
    for (const ModeButton& button : kToolbarButtons) {
        if (button.status != 0)
            Module1::SetToolbarButtonCaption(Toolbar1, button.key,
                                             button.status == status ? button.runningCaption : button.caption);
    }
    pnStatus->setText(view->caption);
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
