// Builds a study record of 100 000 reviews over 5 000 sentences (20 each,
// spread over the last year, written through the record as the learner's
// reviews would be) and prints how long today's queue takes to build:
//   - the query on the record's connection, median and worst of 30;
//   - asked of the study record from the window's thread and answered from
//     its own thread, median and worst of 30;
//   - the due count of the command line, median of 30.
//
//   bench_review_queue

#include "record/RecordDatabase.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSentences = 5000;
constexpr int kReviewsEach = 20;
constexpr int kRuns = 30;
constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

RecordEvent reviewOf(int sentence, int round, qint64 at)
{
    RecordEvent e;
    e.kind = RecordEvent::Reviewed;
    e.at = at;
    const int lesson = sentence / 50;
    e.sentence = {QString("Trellis英语第%1册").arg(lesson / 25 + 1), QString("Lesson %1").arg(lesson + 1),
                  sentence % 50, QString("%1").arg(sentence * 7919, 16, 16, QChar('0')),
                  QString("An English sentence of the lesson, number %1.").arg(sentence), "课文中的一个中文句子。"};
    // Mostly recalled, now and then forgotten.
    const int draw = (sentence * 7 + round * 3) % 10;
    e.grade = draw == 0 ? 1 : draw < 3 ? 2 : 3;
    return e;
}

double writeRecord(const QString& file)
{
    const Clock::time_point start = Clock::now();
    RecordDatabase record("bench-write");
    QString aside;
    record.open(file, &aside);
    const qint64 firstDay = QDateTime::currentMSecsSinceEpoch() - 365 * kDayMs;
    const qint64 session = record.startSession(firstDay);
    for (int round = 0; round < kReviewsEach; ++round) {
        RecordBatch batch;
        for (int s = 0; s < kSentences; ++s)
            batch << reviewOf(s, round, firstDay + (round * 18 + s % 17) * kDayMs + s);
        record.write(session, batch);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures timed(const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const Clock::time_point before = Clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    std::printf("record of %d reviews over %d sentences written in %.0f ms\n", kSentences * kReviewsEach, kSentences,
                writeRecord(file));

    RecordDatabase reader("bench-read");
    QString aside;
    reader.open(file, &aside);
    const QDate today = QDate::currentDate();
    int taken = 0;
    const Figures query = timed([&] { taken = reader.reviewQueue(today, kDefaultDailyReviews).size(); });
    const DueCount due = reader.dueCount(today);
    const Figures count = timed([&] { reader.dueCount(today); });

    StudyRecord record(file);
    record.flush();
    const Figures threaded = timed([&] {
        QEventLoop loop;
        whenAnswered(record.readReviewQueue(), &loop, [&loop](const ReviewQueue&) { loop.quit(); });
        loop.exec();
    });
    std::printf("%d sentences due today, %d overdue; the queue takes %d\n", due.due, due.overdue, taken);
    std::printf("today's queue, query on the record's connection: median %.2f ms, worst %.2f ms\n", query.median,
                query.worst);
    std::printf("today's queue, asked of the study record and answered: median %.2f ms, worst %.2f ms\n",
                threaded.median, threaded.worst);
    std::printf("due count for the command line: median %.2f ms, worst %.2f ms\n", count.median, count.worst);
    return 0;
}
