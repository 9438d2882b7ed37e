#pragma once

// A lesson's reference to its video: tlx<N><LLL>.video.txt, one UTF-8 line,
// the video's path relative to the volume folder when it lies under the
// books folder, absolute otherwise.

#include <QByteArray>
#include <QString>

extern const char* const kVideoReferenceExtension;  // ".video.txt"

QByteArray videoReferenceBytes(const QString& videoPath, const QString& volumeFolder, const QString& booksFolder);
// The absolute path the reference names; empty for bytes that name nothing.
QString videoOfReference(const QByteArray& bytes, const QString& volumeFolder);
