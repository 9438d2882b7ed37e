#include "ReviewedSentences.h"

#include "anki/CourseSentences.h"
#include "platform/system/CourseLibrary.h"
#include "record/StudyRecord.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>

QList<ExportSentence> reviewedLongAgo(const QString& folder)
{
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const QString books = folder + "/books";
    const CourseVolume volume = findVolume(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first(), {books});
    const QList<ExportSentence> sentences = lessonSentences(library, volume, 0).sentences.mid(0, 2);
    StudyRecord record(folder + kRecordFile);
    for (int n = 0; n < sentences.size(); ++n) {
        const QString& english = sentences[n].english;
        RecordEvent event;
        event.kind = RecordEvent::Reviewed;
        event.at = QDateTime::currentDateTime().addDays(-10 - 2 * n).toMSecsSinceEpoch();
        event.sentence = {volume.name, sentences[n].lessonTitle, n,
                          QCryptographicHash::hash(english.toUtf8(), QCryptographicHash::Sha1).toHex().left(16),
                          english, sentences[n].chinese};
        event.grade = 3;
        record.add(event);
    }
    return sentences;
}

