#include "anki/WordBookSentences.h"

#include "anki/CourseSentences.h"

#include <QHash>

namespace {

// The sentence as its lesson has it now; nullptr when the lesson or the
// sentence is gone or changed.
const ExportSentence* inCourse(const SentenceKey& key, CourseLibrary& library, const QStringList& booksFolders,
                               QHash<QString, LessonSentences>& lessons)
{
    const QString lessonKey = key.volume + '\n' + key.lesson;
    if (!lessons.contains(lessonKey)) {
        const CourseVolume volume = findVolume(key.volume, booksFolders);
        const int index = volume.folder.isEmpty() ? -1 : lessonTitles(library, volume).indexOf(key.lesson);
        lessons.insert(lessonKey, index < 0 ? LessonSentences{{}, "gone"} : lessonSentences(library, volume, index));
    }
    const LessonSentences& lesson = lessons[lessonKey];
    if (key.number < 0 || key.number >= lesson.sentences.size())
        return nullptr;
    const ExportSentence& sentence = lesson.sentences[key.number];
    return sentence.english == key.english ? &sentence : nullptr;
}

}  // namespace

QList<ExportSentence> wordBookSentences(const WordBook& book, CourseLibrary& library, const QStringList& booksFolders,
                                        const std::function<WordMeaning(const QString&)>& meaningOf)
{
    QList<ExportSentence> sentences;
    QHash<QString, LessonSentences> lessons;
    for (const SavedWord& saved : book) {
        ExportSentence s;
        if (!saved.meetings.isEmpty()) {
            const WordMeeting& met = saved.meetings.first();
            if (const ExportSentence* now = inCourse(met.sentence, library, booksFolders, lessons))
                s = *now;
            s.volume = met.sentence.volume;
            s.lessonTitle = met.sentence.lesson;
            s.number = met.sentence.number + 1;
            s.english = met.sentence.english;
            s.chinese = met.sentence.chinese;
            s.wordForm = met.form;
        }
        const WordMeaning meaning = meaningOf(saved.word);
        s.word = saved.word;
        s.phonetic = meaning.phonetic;
        s.meanings = meaning.meanings;
        sentences << s;
    }
    return sentences;
}
