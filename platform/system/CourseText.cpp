#include "platform/system/CourseText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString decodeCourseText(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

QByteArray encodeCourseText(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}
