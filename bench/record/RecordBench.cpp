// Records 10 000 events (a lesson's plays, dictation answers and takes, as a
// learner makes them) into a fresh study record and prints:
//   - the cost of recording one event on the study path (StudyRecord::add),
//     median and worst, in microseconds;
//   - how long the record's thread takes to write them all;
//   - the file's size afterwards, with its write-ahead log.
//
//   bench_record

#include "record/StudyRecord.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEvents = 10000;
constexpr int kSentences = 10;

RecordEvent eventNumber(int i)
{
    RecordEvent e;
    e.kind = i % 10 < 6 ? RecordEvent::Play : i % 10 < 9 ? RecordEvent::DictationAnswer : RecordEvent::TakePlayed;
    e.at = QDateTime::currentMSecsSinceEpoch();
    const int lesson = i / 1000;
    const int number = i % kSentences;
    e.sentence = {"Trellis英语第1册", QString("Lesson %1").arg(lesson + 1), number,
                  QString("%1").arg(number * 7919 + lesson, 16, 16, QChar('0')),
                  QString("An English sentence of the lesson, number %1.").arg(number), "课文中的一个中文句子。"};
    e.mode = 1;
    e.speedPercent = 100;
    e.right = i % 3 != 0;
    e.firstWrong = e.right ? -1 : 5;
    return e;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    std::vector<double> addMicroseconds;
    addMicroseconds.reserve(kEvents);
    double writeMs = 0;
    {
        StudyRecord record(file);
        record.flush();
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kEvents; ++i) {
            const RecordEvent e = eventNumber(i);
            const Clock::time_point before = Clock::now();
            record.add(e);
            addMicroseconds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        }
        record.flush();
        writeMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    std::sort(addMicroseconds.begin(), addMicroseconds.end());
    const qint64 bytes = QFileInfo(file).size() + QFileInfo(file + "-wal").size();
    std::printf("%d events recorded\n", kEvents);
    std::printf("record one event on the study path: median %.2f us, worst %.1f us\n",
                addMicroseconds[addMicroseconds.size() / 2], addMicroseconds.back());
    std::printf("all written by the record's thread in %.0f ms (%.0f events/s)\n", writeMs, kEvents * 1000 / writeMs);
    std::printf("file size after %d events: %.0f kB\n", kEvents, bytes / 1024.0);
    return 0;
}
