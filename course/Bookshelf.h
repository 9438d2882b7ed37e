#pragma once

// The volumes a run sees: the program's books folder and the learner's own.
// A shipped volume is an entry whose name begins with the course's prefix;
// the learner's own volumes are folders of any name. A name holding a dot is
// no volume (hidden entries, and copies put aside such as "….old"). An own
// volume takes the place of a shipped one of the same name.

#include "course/CourseVolume.h"

#include <QList>
#include <QString>
#include <QStringList>

class Bookshelf {
public:
    // `ownBooks` empty: the run has no books folder of the learner's.
    explicit Bookshelf(const QString& shippedBooks, const QString& ownBooks = {});

    // Every volume, sorted by name.
    QList<CourseVolume> volumes() const;
    // The volume named `name`; its folder is empty when there is none.
    CourseVolume volume(const QString& name) const;
    // The learner's own volumes' names, sorted.
    QStringList ownNames() const;
    // Why a lesson may not be imported into the own volume of this name, or
    // empty. Beside the rules for any volume's name (refusedVolumeName), the
    // name of a volume that comes with the program is refused: an own volume
    // of that name would take its place in the volume list, in review and in
    // the export.
    QString refusedForImport(const QString& name) const;

private:
    QString shipped_;
    QString own_;
};

// Why a volume folder name is refused, or empty when it may be used. A name
// with a dot is refused too: the bookshelf takes such a folder for a copy put
// aside and does not list it.
QString refusedVolumeName(const QString& name);
