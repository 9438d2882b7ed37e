#include "platform/system/CourseNames.h"

#include <QDir>
#include <QFileInfo>

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

QString spelledFileName(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(fileName)).isFile())
        return fileName;
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}
