#include "anki/ExportChoice.h"

#include <QFileInfo>

LessonSentences volumeSentences(CourseLibrary& library, const CourseVolume& volume)
{
    LessonSentences all;
    const int lessons = lessonTitles(library, volume).size();
    for (int lesson = 0; lesson < lessons; ++lesson) {
        const LessonSentences one = lessonSentences(library, volume, lesson);
        if (!one.error.isEmpty())
            return {{}, one.error};
        all.sentences << one.sentences;
    }
    return all;
}

LessonSentences chosenSentences(CourseLibrary& library, const CourseVolume& volume, const QString& lessonTitle)
{
    const QStringList titles = lessonTitles(library, volume);
    if (titles.isEmpty())
        return {{}, QString("课本“%1”中没有课文（lesson.txt 不存在或其中没有以 $ 开头的标题）").arg(volume.name)};
    if (lessonTitle.isNull())
        return volumeSentences(library, volume);
    const int only = titles.indexOf(lessonTitle.trimmed());
    if (only < 0)
        return {{}, QString("课本“%1”中没有课文“%2”；课文有：%3").arg(volume.name, lessonTitle, titles.join("、"))};
    return lessonSentences(library, volume, only);
}

LessonSentences recordedSentences(CourseLibrary& library, const QStringList& booksFolders,
                                  const QVector<SentenceKey>& keys, QString* missingVolume)
{
    LessonSentences chosen;
    QString volumeName, lessonTitle;
    LessonSentences lesson;
    for (const SentenceKey& key : keys) {
        if (key.volume != volumeName || key.lesson != lessonTitle) {
            volumeName = key.volume;
            lessonTitle = key.lesson;
            CourseVolume volume = findVolume(volumeName, booksFolders);
            if (volume.folder.isEmpty()) {
                *missingVolume = volumeName;
                return {};
            }
            volume.folder = QFileInfo(volume.folder).absoluteFilePath();
            const int index = lessonTitles(library, volume).indexOf(lessonTitle);
            lesson = index < 0 ? LessonSentences{{}, QString("课本“%1”中没有课文“%2”").arg(volumeName, lessonTitle)}
                               : lessonSentences(library, volume, index);
            if (!lesson.error.isEmpty())
                return {{}, lesson.error};
        }
        if (key.number >= 0 && key.number < lesson.sentences.size())
            chosen.sentences << lesson.sentences[key.number];
    }
    return chosen;
}
