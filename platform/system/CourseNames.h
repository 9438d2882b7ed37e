#pragma once

// How volumes are named: which folders of the shipped books folder are
// volumes, and how a volume names its lessons' files: the volume number its
// folder's name gives, and each lesson's recording and timing file,
// "tlx<N><LLL>.mp3" and ".lrc", LLL its position in the lesson list from 1.

#include <QString>
#include <QStringList>

// The volumes of the shipped books folder, by name: its entries whose names
// begin with the course's prefix and hold no dot.
QStringList shippedVolumeNames(const QString& booksFolder);

// The first digit 1 to 4 in the name, in the order 1, 2, 3, 4; 1 without one.
int volumeNumber(const QString& volumeFolderName);

// "tlx<N><LLL>", without the extension.
QString lessonFileBase(const QString& volumeFolderName, int lessonPosition);

// The name under which `folder` holds the file `fileName`: the name itself
// when that file exists, else the same name in other letter case (course
// folders copied from other systems carry names such as TLX1001.MP3); empty
// when there is neither.
QString spelledFileName(const QString& folder, const QString& fileName);
