#pragma once

// The course as the window offers it, without the window: the volumes a run
// sees, the chosen one and its lesson titles, the chosen lesson, and how the
// choice follows the learner, a start-up with stored positions and a volume
// added or gone. The volume and lesson lists show it.

#include "course/Bookshelf.h"
#include "course/CourseVolume.h"

#include <QList>
#include <QString>
#include <QStringList>

class CourseLibrary;

class CourseCatalogue {
public:
    // `ownBooks` empty: the run has no books folder of the learner's.
    CourseCatalogue(const QString& shippedBooks, const QString& ownBooks, CourseLibrary& library);

    // Reads the volumes again. The chosen volume stays chosen where it is
    // still listed; else the first is (none when there is none), with its
    // lessons not yet listed.
    void listVolumes();
    // Volume `index` of the list, the first when outside it; its lessons
    // listed and none chosen.
    void chooseVolume(int index);
    // Lists the chosen volume's lessons again; none chosen.
    void listLessons();
    // Lesson `index` (from 0) of the chosen volume; none when outside.
    void chooseLesson(int index);

    // Start-up: the stored volume and lesson, the first of each where they
    // are outside the lists.
    void start(int volume, int lesson);
    // The volumes read again (one may have been added or removed) and lesson
    // `lesson` of the volume in `folder` chosen: the first volume when it is
    // gone, the last lesson when `lesson` is beyond it.
    void show(const QString& folder, int lesson);

    const QList<CourseVolume>& volumes() const { return volumes_; }
    int volumeIndex() const { return volume_; }
    // The chosen volume; a nameless one without a folder when none is.
    CourseVolume volume() const;
    const QStringList& lessonTitles() const { return titles_; }
    int lessonIndex() const { return lesson_; }
    // The books folder a learner adds volumes to: their own, else the
    // program's.
    QString booksForLearner() const { return own_.isEmpty() ? shipped_ : own_; }

private:
    QString shipped_;
    QString own_;
    CourseLibrary& library_;
    QList<CourseVolume> volumes_;
    int volume_ = -1;
    QStringList titles_;
    int lesson_ = -1;
};
