#include "shell/review/ReviewSentences.h"

#include <QFileInfo>

ReviewSentences::ReviewSentences(CourseLibrary& library, const QStringList& booksFolders)
    : library_(library), books_(booksFolders)
{
}

SentenceSound ReviewSentences::find(const SentenceKey& sentence)
{
    SentenceSound sound;
    const LessonSentences& found = lesson(sentence.volume, sentence.lesson);
    if (!found.error.isEmpty()) {
        sound.error = found.error;
        return sound;
    }
    if (sentence.number < 0 || sentence.number >= found.sentences.size()) {
        sound.error = QString("课文“%1”中没有第 %2 句").arg(sentence.lesson).arg(sentence.number + 1);
        return sound;
    }
    const ExportSentence& s = found.sentences[sentence.number];
    if (!QFileInfo(s.recording).isFile()) {
        sound.error = QString("找不到录音 %1").arg(s.recording);
        return sound;
    }
    sound.recording = s.recording;
    sound.start = s.start;
    sound.end = s.end;
    sound.video = s.video;
    sound.missingVideo = s.missingVideo;
    return sound;
}

const LessonSentences& ReviewSentences::lesson(const QString& volumeName, const QString& title)
{
    const QString key = volumeName + '\n' + title;
    const auto known = lessons_.constFind(key);
    if (known != lessons_.constEnd())
        return *known;
    LessonSentences& read = lessons_[key];
    const CourseVolume volume = findVolume(volumeName, books_);
    const int index = volume.folder.isEmpty() ? -1 : lessonTitles(library_, volume).indexOf(title);
    if (volume.folder.isEmpty())
        read.error = QString("找不到课本“%1”").arg(volumeName);
    else if (index < 0)
        read.error = QString("课本“%1”中已没有课文“%2”").arg(volumeName, title);
    else
        read = lessonSentences(library_, volume, index);
    return read;
}
