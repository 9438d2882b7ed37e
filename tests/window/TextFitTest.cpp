// Every caption of the window, its panels and the MP3 dialog is shown whole:
// it fits the room its control gives it and no neighbour covers it. CTest
// runs these once more at a 2× scale (QT_SCALE_FACTOR=2).

#include "WindowHarness.h"

#include "platform/system/CourseLibrary.h"
#include "shell/mp3/Mp3Form.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

namespace {

// Where a control draws its caption and the room it has for it, in its
// parent's coordinates; nothing drawn for controls without a caption,
// wrapped or rich-text labels and controls placed by a layout.
struct Caption {
    QWidget* control = nullptr;
    QString text;
    QRect room;
    QRect drawn;
};

Caption captionOf(QWidget* w)
{
    Caption c{w, {}, {}, {}};
    const QFontMetrics metrics(w->font());
    QRect room;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->textFormat() == Qt::RichText || label->wordWrap())
            return c;
        c.text = label->text();
        room = label->contentsRect();
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        c.text = box->text();
        room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        c.text = button->text();
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    c.text.remove('&');
    if (c.text.isEmpty() || w->parentWidget() == nullptr || w->parentWidget()->layout() != nullptr)
        return c;
    // The caption's ink, centred in its room as the controls draw it.
    c.room = room.translated(w->pos());
    const int inkHeight = metrics.tightBoundingRect(c.text).height();
    c.drawn = QRect(c.room.left(), c.room.center().y() - inkHeight / 2, metrics.horizontalAdvance(c.text), inkHeight);
    return c;
}

std::vector<Caption> captionsOf(QWidget* top)
{
    std::vector<Caption> out;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        Caption c = captionOf(w);
        if (!c.drawn.isEmpty())
            out.push_back(c);
    }
    return out;
}

void expectWhole(const std::vector<Caption>& captions)
{
    for (const Caption& c : captions) {
        const std::string name = c.control->objectName().toStdString() + " \"" + c.text.toStdString() + "\"";
        EXPECT_LE(c.drawn.width(), c.room.width()) << name;
        for (const Caption& other : captions) {
            if (other.control != c.control && other.control->parentWidget() == c.control->parentWidget()) {
                EXPECT_FALSE(c.drawn.intersects(other.drawn))
                    << name << " runs into " << other.control->objectName().toStdString();
            }
        }
    }
}

TEST(TextFit, TheWindowAndItsPanelsShowEveryCaptionWhole)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.show();
    WindowHarness::settle(50);
    EXPECT_EQ(f.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    const std::vector<Caption> captions = captionsOf(&f);
    EXPECT_GE(captions.size(), 20u);
    expectWhole(captions);
}

TEST(TextFit, TheMp3DialogShowsEveryCaptionWhole)
{
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    Mp3Form dialog(library);
    dialog.show();
    const std::vector<Caption> captions = captionsOf(&dialog);
    EXPECT_GE(captions.size(), 6u);
    expectWhole(captions);
}

}  // namespace
