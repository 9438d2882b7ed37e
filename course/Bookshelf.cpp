#include "course/Bookshelf.h"

#include "platform/system/CourseNames.h"

#include <QDir>
#include <QMap>

namespace {

// The learner's own volumes: the folders of the own books folder, but none
// whose name holds a dot (hidden folders, copies put aside such as "….old").
QStringList ownFolderNames(const QString& books)
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
        for (const QString& name : ownFolderNames(own_))
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

QStringList Bookshelf::ownNames() const
{
    QStringList names = own_.isEmpty() ? QStringList() : ownFolderNames(own_);
    names.sort();
    return names;
}

QString Bookshelf::refusedForImport(const QString& name) const
{
    if (QString refused = refusedVolumeName(name); !refused.isEmpty())
        return refused;
    if (!shipped_.isEmpty() && shippedVolumeNames(shipped_).contains(name))
        return QStringLiteral("“%1”是 Lexbay 自带的课本，自己的册不能同名（会遮住自带的那一册）；请换一个册名").arg(name);
    return {};
}

QString refusedVolumeName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("册名不能为空");
    if (name.contains('/') || name.contains('\\') || name.contains(QChar(0)))
        return QStringLiteral("册名“%1”里不能有路径分隔符").arg(name);
    if (name == "." || name.contains(".."))
        return QStringLiteral("册名“%1”里不能有“..”").arg(name);
    if (name.contains('.'))
        return QStringLiteral("册名“%1”里有“.”，课本列表不会列出这样的册").arg(name);
    return {};
}
