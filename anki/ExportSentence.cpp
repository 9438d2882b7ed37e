#include "anki/ExportSentence.h"

#include <QStringList>

QString ExportSentence::key() const
{
    return QStringList{volume, lessonTitle, QString::number(number), english}.join(QChar(0x1F));
}
