// Exports a spoken 20-lesson volume (200 sentences) as an Anki package and
// prints how long that took and how large the package is.

#include "anki/AnkiPackage.h"
#include "anki/CourseSentences.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

constexpr int kLessons = 20;
constexpr int kSentencesPerLesson = 10;
const QString kVolume = "Trellis英语第4册";
const QStringList kSentences{
    "Could you tell me the way to the museum?", "It is on the other side of the river.",
    "We usually have breakfast at seven.",      "My brother works in a small bookshop.",
    "The train was late again this morning.",   "Please close the window before you leave.",
    "She has lived here for ten years.",        "What would you like to drink?",
    "They are going to the seaside on Sunday.", "I have never seen such a tall building.",
};

bool makeVolume(const QString& books)
{
    const QString folder = books + "/" + kVolume;
    QDir().mkpath(folder);
    QByteArray lessons;
    for (int lesson = 1; lesson <= kLessons; ++lesson) {
        lessons += encodeCourseText(QString("$Lesson %1 练习\r\n").arg(lesson));
        for (int n = 0; n < kSentencesPerLesson; ++n) {
            const QString english = kSentences[(lesson + n) % kSentences.size()];
            lessons += encodeCourseText(QString("%1. %2\r\n第 %1 句。\r\n").arg(n + 1).arg(english));
        }
    }
    QFile file(folder + "/lesson.txt");
    if (!file.open(QIODevice::WriteOnly) || file.write(lessons) != lessons.size())
        return false;
    file.close();
    QProcess make;
    make.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    make.start(LEXBAY_MAKE_COURSE, {books});
    return make.waitForFinished(-1) && make.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString books = work.filePath("books");
    QElapsedTimer making;
    making.start();
    if (!makeVolume(books)) {
        std::fprintf(stderr, "bench_anki_export: the volume could not be made\n");
        return 1;
    }
    std::printf("volume made (espeak-ng, sox, lame) in %.1f s\n", making.elapsed() / 1000.0);

    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const CourseVolume volume = findVolume(kVolume, {books});
    QElapsedTimer timer;
    timer.start();
    // Process CPU time, the decoder's threads included: on a shared machine
    // the wall time says as much about the others as about the export.
    const std::clock_t cpuStart = std::clock();
    QList<ExportSentence> sentences;
    for (int lesson = 0; lesson < lessonTitles(library, volume).size(); ++lesson)
        sentences << lessonSentences(library, volume, lesson).sentences;
    const qint64 readMs = timer.elapsed();
    const QString package = work.filePath("volume.apkg");
    const AnkiExportResult result = exportAnkiPackage(sentences, package);
    const qint64 totalMs = timer.elapsed();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    if (!result.ok()) {
        std::fprintf(stderr, "bench_anki_export: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("sentences read: %d in %lld ms\n", int(sentences.size()), readMs);
    std::printf("volume exported: %d lessons, %d sentences in %.2f s (%.1f ms per sentence)\n", kLessons, result.notes,
                totalMs / 1000.0, double(totalMs) / result.notes);
    std::printf("CPU time of the export: %.2f s\n", cpuSeconds);
    std::printf("package size: %.2f MB\n", QFileInfo(package).size() / 1e6);
    return 0;
}
