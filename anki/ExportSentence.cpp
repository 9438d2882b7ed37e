#include "anki/ExportSentence.h"

#include <QStringList>

QString ExportSentence::key() const
{
    if (!word.isEmpty())
        return QStringList{"word", word}.join(QChar(0x1F));
    return QStringList{volume, lessonTitle, QString::number(number), english}.join(QChar(0x1F));
}
