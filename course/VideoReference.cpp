#include "course/VideoReference.h"

#include <QDir>
#include <QFileInfo>

const char* const kVideoReferenceExtension = ".video.txt";

namespace {

bool liesUnder(const QString& path, const QString& folder)
{
    const QString inside = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + '/';
    return path.startsWith(inside);
}

}  // namespace

QByteArray videoReferenceBytes(const QString& videoPath, const QString& volumeFolder, const QString& booksFolder)
{
    if (videoPath.trimmed().isEmpty() || videoPath.contains('\n') || videoPath.contains('\r'))
        return {};
    const QString absolute = QDir::cleanPath(QFileInfo(videoPath).absoluteFilePath());
    const QString named = liesUnder(absolute, booksFolder)
                              ? QDir(QFileInfo(volumeFolder).absoluteFilePath()).relativeFilePath(absolute)
                              : absolute;
    return named.toUtf8() + '\n';
}

QString videoOfReference(const QByteArray& bytes, const QString& volumeFolder)
{
    QString named = QString::fromUtf8(bytes).section('\n', 0, 0);
    named.remove('\r');
    if (named.trimmed().isEmpty())
        return {};
    return QDir::cleanPath(QDir(QFileInfo(volumeFolder).absoluteFilePath()).filePath(named));
}
