#include "shell/mp3/Mp3Form.h"

#include "platform/system/CourseLibrary.h"
#include "shell/window/FormLayout.h"
#include "platform/system/MessageBoxes.h"
#include "shell/window/Module1.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const char* const kExplanationLines[] = {
    "每篇课文的MP3文件，及其同步歌词文件(LRC文件)",
    "已经存放在安装文件夹下的 books 子文件夹中了",
    "比如，Trellis英语第3册第4课所对应的MP3文件，就是：",
    "books/Trellis英语第3册/tlx3004.mp3 ",
    "其同步歌词文件，就是：",
    "books/Trellis英语第3册/tlx3004.LRC",
    "其他以此类推",
};

// The explanation as rich text: one paragraph a line, the empty line between
// two lines drawn as a narrow gap, so that all seven lines fit the label with
// the fonts this system has.
QString explanationMarkup()
{
    QString markup;
    for (const char* line : kExplanationLines)
        markup += "<p style=\"margin-top:0; margin-bottom:1px\">" + QString::fromUtf8(line).toHtmlEscaped() + "</p>";
    return markup;
}

// A one-line label as wide as its text, where the dialog has room for it.
void fitText(QLabel* label)
{
    const int room = label->parentWidget()->width() - label->x() - 4;
    label->resize(qMin(room, qMax(label->width(), label->sizeHint().width())), label->height());
}

// A link on the line of a label begins after the label's text, where its
// place in the design would cover the text's end.
void placeAfter(QLabel* link, const QLabel* label)
{
    link->move(qMax(link->x(), label->x() + label->width()), link->y());
}

template <typename W>
W* placed(W* widget, const char* name, float left, float top, float width, float height)
{
    widget->setObjectName(name);
    widget->setGeometry(TwipsRect{left, top, width, height}.toPixels());
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, float l, float t, float w, float h)
{
    auto* label = placed(new QLabel(text, parent), name, l, t, w, h);
    QFont font("Noto Serif CJK SC");
    font.setPointSizeF(10.5);
    label->setFont(font);
    return label;
}

QLabel* link(QWidget* parent, const char* name, const QString& text, float l, float t, float w, float h)
{
    QLabel* link = label(parent, name, text, l, t, w, h);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    // The whole caption takes the click, however the font measures it.
    link->adjustSize();
    return link;
}

QFrame* rule(QWidget* parent, const char* name, float l, float t, float w, float h)
{
    auto* frame = placed(new QFrame(parent), name, l, t, w, h);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

}  // namespace

QString Mp3Form::explanation()
{
    QStringList lines;
    for (const char* line : kExplanationLines)
        lines << QString::fromUtf8(line);
    return lines.join("\r\n\r\n") + "\r\n";
}

Mp3Form::Mp3Form(CourseLibrary& library) : library_(library)
{
    setObjectName("Mp3Form");
    setWindowTitle(kApplicationTitle);
    setFixedSize(TwipsRect{0, 0, 5550, 5055}.toPixels().size());

    Label1 = label(this, "Label1", explanationMarkup(), 270, 180, 4935, 2655);
    Label1->setTextFormat(Qt::RichText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rule(this, "Frame1", 270, 2910, 4935, 60);
    QLabel* Label7 = label(this, "Label7", "本软件中的MP3文件和同步LRC文件，是用", 300, 3150, 3915, 285);
    fitText(Label7);
    lbMakerLink = link(this, "lbMakerLink", LEXBAY_MAKER_NAME, 4140, 3150, 1185, 195);
    placeAfter(lbMakerLink, Label7);
    fitText(label(this, "Label8", "的", 330, 3450, 195, 285));
    lbProductLink = link(this, "lbProductLink", LEXBAY_PRODUCT_NAME, 660, 3450, 1065, 195);
    fitText(label(this, "Label9", "软件的MP3生成功能制作的，在此感谢", 1830, 3450, 3315, 225));
    Label10 = label(this, "Label10", QString("%1公司为本软件提供了全部课文录音！").arg(LEXBAY_MAKER_NAME), 300, 3810,
                    4965, 345);
    rule(this, "Frame2", 240, 4170, 4875, 60);
    btOk = placed(new QPushButton("返 回", this), "btOk", 1980, 4440, 1305, 405);
    connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
    lbMakerLink->installEventFilter(this);
    lbProductLink->installEventFilter(this);
}

void Mp3Form::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Module1::CenterForm(this);
}

bool Mp3Form::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lbProductLink)
            library_.dllIePage(LEXBAY_PRODUCT_PAGE);
        else if (watched == lbMakerLink)
            library_.dllIePage(LEXBAY_MAKER_SITE);
    }
    return QDialog::eventFilter(watched, event);
}
