#include "CourseFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

#include <random>

namespace course {

QByteArray read(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void remove(const QString& path)
{
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

QByteArray junk(int size, const QByteArray& without)
{
    std::mt19937 bytes(20261207);
    QByteArray out;
    out.reserve(size);
    while (out.size() < size) {
        const char byte = char(bytes() & 0xFF);
        if (!without.contains(byte))
            out.append(byte);
    }
    return out;
}

QList<QByteArray> lines(const QByteArray& text)
{
    QList<QByteArray> out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        out << text.mid(start, end - start);
        start = end;
    }
    return out;
}

}  // namespace course
