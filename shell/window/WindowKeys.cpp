// The window by keyboard alone: the toolbar's keys, the sentence keys, the
// speed keys, and the keys the mode panels bring along; features add theirs
// between the window's and the panels'.

#include "shell/window/ComparePanel.h"
#include "shell/window/Keys.h"
#include "shell/window/MainForm.h"
#include "shell/window/SpellPanel.h"
#include "shell/window/StatusViews.h"
#include "study/StudyModes.h"

#include <QComboBox>
#include <QToolBar>
#include <QToolButton>

void MainForm::createKeys()
{
    keys_ = new Keys(*this);
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    using K = KeyBinding;
    std::vector<KeyBinding> keys;
    keys.push_back({Qt::Key_F1, none, "F1", "显示本表", nullptr, K::Never, false, [this] { return keys_->showTable(); }});
    for (const ModeButton& b : kToolbarButtons) {
        auto* button = Toolbar1->findChild<QToolButton*>(b.key);
        const QString action = b.status != 0 ? QString("%1 / %2").arg(b.caption, b.runningCaption) : b.caption;
        keys.push_back({b.functionKey, none, QString("F%1").arg(b.functionKey - Qt::Key_F1 + 1), action, button,
                        K::Never, false, clickWhen(button)});
    }
    keys.push_back({Qt::Key_Escape, none, "Esc", "结束正在进行的学习方式", nullptr, K::Never, false,
                    [this] { return modes_->leaveRunning(); }});
    keys.push_back({Qt::Key_Space, none, "空格", "播放当前句，同按句前的喇叭", nullptr, K::ToControls, false,
                    [this] { return modes_->pressCurrentSentence(); }});
    keys.push_back({Qt::Key_Up, none, "↑", "上一句；自动浏览中跳到上一句播放；回想英文中重新隐藏最后显示的一句",
                    nullptr, K::ToControls, true, [this] { return modes_->stepSentence(-1); }});
    keys.push_back({Qt::Key_Down, none, "↓", "下一句；自动浏览中跳到下一句播放；回想英文中显示下一句英文", nullptr,
                    K::ToControls, true, [this] { return modes_->stepSentence(+1); }});
    keys.push_back({Qt::Key_Down, Qt::ControlModifier, "Ctrl+↓", "语速慢一档", nullptr, K::Never, true,
                    [this] { return stepSpeed(-1); }});
    keys.push_back({Qt::Key_Up, Qt::ControlModifier, "Ctrl+↑", "语速快一档", nullptr, K::Never, true,
                    [this] { return stepSpeed(+1); }});
    keys_->add(std::move(keys));
    cbSpeed->setToolTip("快捷键：Ctrl+↑ 快一档，Ctrl+↓ 慢一档");
}

void MainForm::finishKeys()
{
    keys_->add(piCompare->keys());
    keys_->add(piSpell->keys());
    keys_->nameInTips();
}

bool MainForm::stepSpeed(int step)
{
    const int index = cbSpeed->currentIndex() + step;
    if (index >= 0 && index < cbSpeed->count())
        cbSpeed->setCurrentIndex(index);
    return true;
}
