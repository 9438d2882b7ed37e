#pragma once

// One volume of the course: a folder holding its lessons' files.

#include <QString>

struct CourseVolume {
    // The folder's name, as the volume list shows it and the study record
    // keeps it.
    QString name;
    // Where its files lie; empty when the run sees no volume of that name.
    QString folder;
    // One of the learner's own, which the learner may change.
    bool own = false;
};
