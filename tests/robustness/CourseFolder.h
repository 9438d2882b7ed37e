#pragma once

// Breaking a copy of the program folder: the files of its first volume and
// a few byte patterns that course files arrive in.

#include <QByteArray>
#include <QString>

namespace course {

// The first volume of the sample course, relative to the program folder.
inline constexpr char kVolume[] = "books/Trellis英语第1册";

QByteArray read(const QString& path);
void write(const QString& path, const QByteArray& bytes);
void remove(const QString& path);

// Reproducible bytes of every value, without the given ones.
QByteArray junk(int size, const QByteArray& without = {});
// The lines of a text file, line ends kept.
QList<QByteArray> lines(const QByteArray& text);

}  // namespace course
