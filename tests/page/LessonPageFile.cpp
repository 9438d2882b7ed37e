#include "LessonPageFile.h"

#include <QFile>
#include <QStringEncoder>

#include <stdexcept>

namespace {

const QByteArray kHead =
    "<html>\r\n<head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb18030\">\r\n"
    "<title>Lesson</title>\r\n"
    "<style type=\"text/css\">\r\n"
    ".yaowen { font-size: 15pt; }\r\n.zhongwen { font-size: 13pt; }\r\n"
    "</style>\r\n</head>\r\n<body bgcolor=\"#ffffff\">\r\n"
    "<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">\r\n";

QByteArray gb18030(const QString& text)
{
    QStringEncoder encode("GB18030");
    return encode(text);
}

QByteArray englishRow(int n, const QString& text)
{
    const QByteArray number = QByteArray::number(n);
    return "<tr>\r\n<td width=\"4%\" height=\"20\"> <img id=\"imgs" + number
        + "\" border=\"0\" src=\"sound.jpg\" width=\"20\" height=\"16\"></td>\r\n"
          "<td width = \"196%\",height = \"20\"> <a id = \"engs" + number + "\" class = \"yaowen\">"
        + gb18030(text) + "\r\n</a></td>\r\n</tr>\r\n";
}

QByteArray chineseRow(int n, const QString& text)
{
    return "<tr>\r\n<td width=\"4%\" height=\"20\"> </td>\r\n"
           "<td width = \"196%\",height = \"20\"> <a id = \"chns" + QByteArray::number(n)
        + "\" class = \"zhongwen\">" + gb18030(text) + "\r\n</a></td>\r\n</tr>\r\n";
}

}

QByteArray lessonPageBytes(const std::vector<PageSentence>& sentences, const QByteArray& extraBodyMarkup)
{
    QByteArray page = kHead;
    for (size_t n = 0; n < sentences.size(); ++n) {
        page += englishRow(int(n), sentences[n].english);
        if (!sentences[n].chinese.isEmpty())
            page += chineseRow(int(n), sentences[n].chinese);
    }
    page += "</table>\r\n" + extraBodyMarkup + "</body>\r\n</html>\r\n";
    return page;
}

std::vector<PageSentence> numberedSentences(int count)
{
    std::vector<PageSentence> sentences;
    for (int n = 0; n < count; ++n)
        sentences.push_back({QStringLiteral("Sentence number %1 of the lesson.").arg(n),
                             QStringLiteral("第%1句。").arg(n)});
    return sentences;
}

void writePageFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}
