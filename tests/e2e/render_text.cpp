// Renders a line of text the way the window's labels draw it, so that a
// screenshot can be searched for it: same X server, same font lookup, same
// antialiasing as the program shown beside it.
//
//   e2e_render_text <text> <out.png> <background #rrggbb> [family] [points]
//
// Without a family the application's default font is used, which is what
// the window's status bar and buttons show.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPalette>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: e2e_render_text <text> <out.png> <background> [family] [points]\n");
        return 2;
    }
    const QString text = QString::fromUtf8(argv[1]);
    QFont font = QApplication::font();
    if (argc > 4 && argv[4][0] != '\0')
        font = QFont(QString::fromUtf8(argv[4]));
    if (argc > 5)
        font.setPointSizeF(QString(argv[5]).toDouble());

    QLabel label(text);
    label.setFont(font);
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, QColor(argv[3]));
    palette.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(palette);
    label.adjustSize();
    const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Only the inked part: the search then does not depend on line spacing.
    QRect inked;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != QColor(argv[3]).rgb())
                inked |= QRect(x, y, 1, 1);
    return image.copy(inked.adjusted(-1, -1, 1, 1) & image.rect()).save(QString::fromUtf8(argv[2])) ? 0 : 1;
}
