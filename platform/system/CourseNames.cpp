#include "platform/system/CourseNames.h"

#include <QDir>

namespace {

const char* const kVolumePrefix = "Trellis英语";

}  // namespace

QStringList shippedVolumeNames(const QString& booksFolder)
{
    QStringList names = QDir(booksFolder).entryList({QString(kVolumePrefix) + "*"},
                                                    QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    names.removeIf([](const QString& name) { return name.contains('.'); });
    return names;
}

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
