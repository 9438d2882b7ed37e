#include "anki/CourseSentences.h"

#include "course/Bookshelf.h"
#include "course/LessonReader.h"

CourseVolume findVolume(const QString& name, const QStringList& booksFolders)
{
    return Bookshelf(booksFolders.value(0), booksFolders.value(1)).volume(name);
}

QStringList lessonTitles(CourseLibrary& library, const CourseVolume& volume)
{
    return LessonReader(library).titles(volume);
}

LessonSentences lessonSentences(CourseLibrary& library, const CourseVolume& volume, int lessonIndex)
{
    const CourseLesson lesson = LessonReader(library).lesson(volume, lessonIndex);
    LessonSentences result;
    result.error = lesson.error;
    for (int n = 0; n < lesson.sentences.size(); ++n) {
        const CourseSentence& s = lesson.sentences[n];
        ExportSentence sentence;
        sentence.volume = volume.name;
        sentence.lessonTitle = lesson.title;
        sentence.number = n + 1;
        sentence.english = s.english;
        sentence.chinese = s.chinese;
        sentence.recording = lesson.recording;
        sentence.start = s.start;
        sentence.end = s.end;
        sentence.video = lesson.video;
        sentence.missingVideo = lesson.missingVideo;
        result.sentences << sentence;
    }
    return result;
}
