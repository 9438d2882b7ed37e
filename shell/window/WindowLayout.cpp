// Placing the window's stretching controls from the twips layout.

#include "platform/web/HtmlView.h"
#include "shell/window/BrowsePanel.h"
#include "shell/window/ComparePanel.h"
#include "shell/window/MainForm.h"
#include "shell/window/SpellPanel.h"
#include "shell/widgets/VideoPane.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QResizeEvent>
#include <QToolBar>

#include <algorithm>

namespace {

// The window's outer size on the desktop it was designed for: the client area
// plus a 6-pixel border on each side and a 30-pixel title bar. The layout's
// margins (180 twips across, 630 down) are made for exactly that frame, so
// the window's own decorations do not enter the arithmetic.
constexpr float kFrameWidthTwips = 180;
constexpr float kFrameHeightTwips = 630;

}  // namespace

void MainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    ResizeForm();
}

void MainForm::ResizeForm()
{
    const float W = width() * kTwipsPerPixel + kFrameWidthTwips;
    const float H = height() * kTwipsPerPixel + kFrameHeightTwips;
    if (ResizeLayout(formLayout_, W, H))
        applyLayout();
    // The toolbar's row follows the window's width: the speed at its right
    // end, the toolbar in the rest.
    const int rowHeight = TwipsRect{0, 0, 0, 600}.toPixels().height();
    const int speedWidth = std::min(speedBox_->sizeHint().width(), clientArea_->width());
    Toolbar1->setGeometry(0, 0, clientArea_->width() - speedWidth, rowHeight);
    speedBox_->setGeometry(clientArea_->width() - speedWidth, 0, speedWidth, rowHeight);
}

void MainForm::applyLayout()
{
    // The comparison panel, taller than the band above the page, pushes the
    // page down while it shows rather than covering its first sentences.
    const bool comparing = session_ && session_->status() == StatusCompare;
    const TwipsRect page = comparing ? PageBelowComparePanel(formLayout_) : formLayout_.wbContent;
    const struct {
        QWidget* widget;
        const TwipsRect& rect;
    } placed[] = {
        {cbVolume, formLayout_.cbVolume},
        {lsLesson, formLayout_.lsLesson},
        {wbWords->widget(), formLayout_.wbWords},
        {wbAdv->widget(), formLayout_.wbAdv},
        {piBrowse, formLayout_.piBrowse},
        {piCompare, formLayout_.piCompare},
        {ckShowChinese, formLayout_.ckShowChinese},
        {lbCurLesson, formLayout_.lbCurLesson},
    };
    for (const auto& p : placed)
        p.widget->setGeometry(p.rect.toPixels());
    videoPane_->place(page.toPixels());
    piCompare->place(formLayout_);
    // A video lesson's picture stays in sight while dictating: the panel
    // begins below it.
    const int pictureBottom = session_ && session_->status() == StatusSpell ? videoPane_->pictureBottom() : 0;
    const FormLayout spell =
        pictureBottom > 0 ? SpellPanelBelow(formLayout_, pictureBottom * kTwipsPerPixel) : formLayout_;
    piSpell->setGeometry(spell.piSpell.toPixels());
    piSpell->place(spell);
}
