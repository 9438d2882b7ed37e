#pragma once

// Where an own lesson's video lies, kept beside its timing file as
// tlx<N><LLL>.video.txt: UTF-8, one line, the video's path. A video under the
// learner's books folder is named relative to the volume folder, so the
// books can move as a whole; any other video by its absolute path. A video
// copied in with the lesson lies in the volume folder as tlx<N><LLL>.<ext>
// and is named relative too. The lesson's recording is the video's sound
// track, so the lesson plays, is reviewed and exported without the picture.

#include <QByteArray>
#include <QString>

// ".video.txt": the lesson file base (tlx<N><LLL>) comes before it.
extern const char* const kVideoReferenceExtension;

// The reference file's content for the video at `videoPath`, for a lesson of
// `volumeFolder` in the books folder `booksFolder`. Empty for a path that a
// one-line file cannot hold.
QByteArray videoReferenceBytes(const QString& videoPath, const QString& volumeFolder, const QString& booksFolder);

// The absolute path a reference file's content names, read relative to
// `volumeFolder`; empty for content that names nothing.
QString videoOfReference(const QByteArray& bytes, const QString& volumeFolder);
