#pragma once

// The volumes a run sees: the program's books folder and the learner's own.
// A shipped volume is an entry whose name begins with the course's prefix;
// the learner's own volumes are folders of any name. A name holding a dot is
// no volume (hidden entries, and copies put aside such as "….old"). An own
// volume takes the place of a shipped one of the same name.

#include "course/CourseVolume.h"

#include <QList>
#include <QString>

class Bookshelf {
public:
    // `ownBooks` empty: the run has no books folder of the learner's.
    explicit Bookshelf(const QString& shippedBooks, const QString& ownBooks = {});

    // Every volume, sorted by name.
    QList<CourseVolume> volumes() const;
    // The volume named `name`; its folder is empty when there is none.
    CourseVolume volume(const QString& name) const;

private:
    QString shipped_;
    QString own_;
};
