#include "shell/window/BrowsePanel.h"

#include "shell/window/WidgetMaking.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace {

const char* const kRepeatChoices[] = {"1", "2", "3", "4", "5"};
const char* const kGapChoices[] = {"0 秒", "1 秒", "2 秒", "1 倍句长", "1.5 倍句长", "2 倍句长", "3 倍句长"};

}  // namespace

BrowsePanel::BrowsePanel(QWidget* parent) : QFrame(parent)
{
    setObjectName("piBrowse");
    setAutoFillBackground(true);
    placeTwips(Label1 = label(this, "Label1", "朗读次数"), 180, 150, 945, 195);
    placeTwips(cbRepeatTimes = named(new QComboBox(this), "cbRepeatTimes"), 1050, 90, 735, 300);
    placeTwips(Label2 = label(this, "Label2", "句间间隔"), 1920, 150, 945, 195);
    placeTwips(cbBrowseGap = named(new QComboBox(this), "cbBrowseGap"), 2760, 90, 1275, 300);
    placeTwips(Label3 = label(this, "Label3", "听完每句后请自己跟着读一遍"), 4230, 150, 7575, 165);
    for (QLabel* l : {Label1, Label2, Label3})
        l->setMinimumHeight(l->sizeHint().height());
    for (const char* choice : kRepeatChoices)
        cbRepeatTimes->addItem(choice);
    for (const char* choice : kGapChoices)
        cbBrowseGap->addItem(choice);
}

void BrowsePanel::connectTo(AutoBrowseMode& mode)
{
    connect(cbRepeatTimes, QOverload<int>::of(&QComboBox::activated), &mode, &AutoBrowseMode::cbRepeatTimes_Click);
}

int BrowsePanel::listedRepeatTimes() const { return cbRepeatTimes->currentIndex() + 1; }

int BrowsePanel::gapChoice() const { return cbBrowseGap->currentIndex(); }

void BrowsePanel::showRepeatTimes(int times)
{
    const QSignalBlocker quiet(cbRepeatTimes);
    cbRepeatTimes->setCurrentIndex(times >= 1 && times <= cbRepeatTimes->count() ? times - 1 : 0);
}

void BrowsePanel::showGap(int gap)
{
    const QSignalBlocker quiet(cbBrowseGap);
    cbBrowseGap->setCurrentIndex(gap >= 0 && gap < cbBrowseGap->count() ? gap : 0);
}
