#include "course/Bookshelf.h"

#include "platform/system/CourseNames.h"

#include <QDir>
#include <QMap>

namespace {

// The learner's own volumes: the folders of the own books folder, but none
// whose name holds a dot (hidden folders, copies put aside such as "….old").
QStringList ownNames(const QString& books)
{
    QStringList names = QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.removeIf([](const QString& name) { return name.contains('.'); });
    return names;
}

}  // namespace

Bookshelf::Bookshelf(const QString& shippedBooks, const QString& ownBooks) : shipped_(shippedBooks), own_(ownBooks) {}

QList<CourseVolume> Bookshelf::volumes() const
{
    QMap<QString, CourseVolume> byName;
    if (!shipped_.isEmpty()) {
        for (const QString& name : shippedVolumeNames(shipped_))
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
