#include "course/Bookshelf.h"

#include <QDir>
#include <QMap>

namespace {

const char* const kVolumePrefix = "Trellis英语";

QStringList withoutDots(QStringList names)
{
    names.removeIf([](const QString& name) { return name.contains('.'); });
    return names;
}

QStringList shippedNames(const QString& books)
{
    return withoutDots(
        QDir(books).entryList({QString(kVolumePrefix) + "*"}, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot));
}

QStringList ownNames(const QString& books)
{
    return withoutDots(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
}

}  // namespace

Bookshelf::Bookshelf(const QString& shippedBooks, const QString& ownBooks) : shipped_(shippedBooks), own_(ownBooks) {}

QList<CourseVolume> Bookshelf::volumes() const
{
    QMap<QString, CourseVolume> byName;
    if (!shipped_.isEmpty()) {
        for (const QString& name : shippedNames(shipped_))
            byName.insert(name, {name, QDir(shipped_).filePath(name), false});
    }
    if (!own_.isEmpty()) {
        for (const QString& name : ownNames(own_))
            byName.insert(name, {name, QDir(own_).filePath(name), true});
    }
    return byName.values();
}

CourseVolume Bookshelf::volume(const QString& name) const
{
    for (const CourseVolume& volume : volumes()) {
        if (volume.name == name)
            return volume;
    }
    return {name, {}, false};
}
