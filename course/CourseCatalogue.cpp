#include "course/CourseCatalogue.h"

#include "course/LessonReader.h"

#include <algorithm>

namespace {

int indexOfFolder(const QList<CourseVolume>& volumes, const QString& folder)
{
    for (int i = 0; i < volumes.size(); ++i) {
        if (volumes[i].folder == folder)
            return i;
    }
    return -1;
}

}  // namespace

CourseCatalogue::CourseCatalogue(const QString& shippedBooks, const QString& ownBooks, CourseLibrary& library)
    : shipped_(shippedBooks), own_(ownBooks), library_(library)
{
}

void CourseCatalogue::listVolumes()
{
    const QString chosen = volume().folder;
    volumes_ = Bookshelf(shipped_, own_).volumes();
    const int kept = chosen.isEmpty() ? -1 : indexOfFolder(volumes_, chosen);
    volume_ = kept >= 0 ? kept : volumes_.isEmpty() ? -1 : 0;
    if (kept < 0) {
        titles_.clear();
        lesson_ = -1;
    }
}

void CourseCatalogue::chooseVolume(int index)
{
    volume_ = volumes_.isEmpty() ? -1 : index >= 0 && index < volumes_.size() ? index : 0;
    listLessons();
}

void CourseCatalogue::listLessons()
{
    titles_ = volume_ >= 0 ? LessonReader(library_).titles(volumes_[volume_]) : QStringList();
    lesson_ = -1;
}

void CourseCatalogue::chooseLesson(int index) { lesson_ = index >= 0 && index < titles_.size() ? index : -1; }

void CourseCatalogue::start(int volume, int lesson)
{
    chooseVolume(volume);
    if (!titles_.isEmpty())
        lesson_ = lesson >= 0 && lesson < titles_.size() ? lesson : 0;
}

void CourseCatalogue::show(const QString& folder, int lesson)
{
    volumes_ = Bookshelf(shipped_, own_).volumes();
    chooseVolume(std::max(0, indexOfFolder(volumes_, folder)));
    chooseLesson(std::min(lesson, int(titles_.size()) - 1));
}

CourseVolume CourseCatalogue::volume() const
{
    return volume_ >= 0 && volume_ < volumes_.size() ? volumes_[volume_] : CourseVolume{};
}
