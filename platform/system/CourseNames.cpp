#include "platform/system/CourseNames.h"

int volumeNumber(const QString& volumeFolderName)
{
    for (int n = 1; n <= 4; ++n) {
        if (volumeFolderName.contains(QString::number(n)))
            return n;
    }
    return 1;
}

QString lessonFileBase(const QString& volumeFolderName, int lessonPosition)
{
    return QString("tlx%1%2").arg(volumeNumber(volumeFolderName)).arg(lessonPosition, 3, 10, QChar('0'));
}
