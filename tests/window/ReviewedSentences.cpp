#include "ReviewedSentences.h"

#include "anki/CourseSentences.h"
#include "platform/system/CourseLibrary.h"
#include "record/StudyRecord.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>

QList<ExportSentence> reviewedLongAgo(const QString& folder)
{
    const QString books = folder + "/books";
    return reviewedDaysAgo(folder, {books}, QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first(), 2, 10);
}

QList<ExportSentence> reviewedDaysAgo(const QString& folder, const QStringList& books, const QString& volumeName,
                                      int count, int daysAgo)
{
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const CourseVolume volume = findVolume(volumeName, books);
    const QList<ExportSentence> sentences = lessonSentences(library, volume, 0).sentences.mid(0, count);
    StudyRecord record(folder + kRecordFile);
    for (int n = 0; n < sentences.size(); ++n) {
        const QString& english = sentences[n].english;
        RecordEvent event;
        event.kind = RecordEvent::Reviewed;
        event.at = QDateTime::currentDateTime().addDays(-daysAgo - 2 * n).toMSecsSinceEpoch();
        event.sentence = {volume.name, sentences[n].lessonTitle, n,
                          QCryptographicHash::hash(english.toUtf8(), QCryptographicHash::Sha1).toHex().left(16),
                          english, sentences[n].chinese};
        event.grade = 3;
        record.add(event);
    }
    return sentences;
}

