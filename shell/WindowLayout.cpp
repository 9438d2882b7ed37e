// Placing the window's stretching controls from the twips layout.

#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>

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
    if (ResizeLayout(layout, W, H))
        applyLayout();
    // The docked toolbar follows the window's width by itself.
    Toolbar1->setGeometry(0, 0, clientArea_->width(), TwipsRect{0, 0, 0, 600}.toPixels().height());
}

void MainForm::applyLayout()
{
    const struct {
        QWidget* widget;
        const TwipsRect& rect;
    } placed[] = {
        {cbVolume, layout.cbVolume},
        {lsLesson, layout.lsLesson},
        {wbContent->widget(), layout.wbContent},
        {wbWords->widget(), layout.wbWords},
        {wbAdv->widget(), layout.wbAdv},
        {piBrowse, layout.piBrowse},
        {piCompare, layout.piCompare},
        {piSpell, layout.piSpell},
        {ckShowChinese, layout.ckShowChinese},
        {lbCurLesson, layout.lbCurLesson},
        {lbEnglishTitle, layout.lbEnglishTitle},
        {teEnglish, layout.teEnglish},
        {lbChineseTitle, layout.lbChineseTitle},
        {teChinese, layout.teChinese},
        {lbSpellTitle, layout.lbSpellTitle},
        {teSpell, layout.teSpell},
    };
    for (const auto& p : placed)
        p.widget->setGeometry(p.rect.toPixels());
    const TwipsRect line{layout.lineSpellX1, layout.lineSpellY, layout.lineSpellX2 - layout.lineSpellX1, 15};
    lineSpell->setGeometry(line.toPixels());
}
