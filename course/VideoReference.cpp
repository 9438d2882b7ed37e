#include "course/VideoReference.h"

#include <QDir>
#include <QFileInfo>

const char* const kVideoReferenceExtension = ".video.txt";

QByteArray videoReferenceBytes(const QString& videoPath, const QString& volumeFolder, const QString& booksFolder)
{
    const QString absolute = QFileInfo(videoPath).absoluteFilePath();
    const QString books = QDir(booksFolder).absolutePath() + '/';
    const QString path = absolute.startsWith(books) ? QDir(volumeFolder).relativeFilePath(absolute) : absolute;
    return path.toUtf8() + '\n';
}

QString videoOfReference(const QByteArray& bytes, const QString& volumeFolder)
{
    const QString line = QString::fromUtf8(bytes).section('\n', 0, 0).trimmed();
    if (line.isEmpty())
        return {};
    return QDir::cleanPath(QDir(volumeFolder).absoluteFilePath(line));
}
