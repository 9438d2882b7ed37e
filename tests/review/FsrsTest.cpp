// The scheduler replays the review sequences of fsrs-oracle.json (computed
// once with the FSRS project's reference package, see make-fsrs-oracle.mjs)
// and must reach the same memory and intervals after every review.

#include "review/Fsrs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

fsrs::Grade gradeNamed(const QString& name)
{
    if (name == "Again")
        return fsrs::Grade::Again;
    if (name == "Hard")
        return fsrs::Grade::Hard;
    return name == "Good" ? fsrs::Grade::Good : fsrs::Grade::Easy;
}

QJsonArray oracleSequences()
{
    QFile file(FSRS_ORACLE);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << FSRS_ORACLE;
    return QJsonDocument::fromJson(file.readAll()).object().value("sequences").toArray();
}

TEST(Fsrs, ReplaysTheReferenceSequences)
{
    const QJsonArray sequences = oracleSequences();
    ASSERT_GE(sequences.size(), 5);
    for (const QJsonValue& s : sequences) {
        const QJsonObject sequence = s.toObject();
        const fsrs::Scheduler scheduler(sequence.value("retention").toDouble());
        fsrs::MemoryState memory;
        bool isNew = true;
        int step = 0;
        for (const QJsonValue& r : sequence.value("reviews").toArray()) {
            const QJsonObject expected = r.toObject();
            const fsrs::Grade grade = gradeNamed(expected.value("grade").toString());
            const fsrs::Review review = isNew ? scheduler.first(grade)
                                              : scheduler.next(memory, expected.value("elapsedDays").toInt(), grade);
            const auto where = [&] { return sequence.value("name").toString().toStdString() + ", review " +
                                            std::to_string(step); };
            const double stability = expected.value("stability").toDouble();
            EXPECT_NEAR(review.memory.stability, stability, 1e-6 * stability) << where();
            EXPECT_NEAR(review.memory.difficulty, expected.value("difficulty").toDouble(), 1e-6) << where();
            // The reference keeps Hard < Good < Easy a day apart even past
            // its limit; ours holds the spacing within the 365 days.
            EXPECT_EQ(review.intervalDays, std::min(expected.value("intervalDays").toInt(),
                                                    fsrs::Scheduler::kMaxIntervalDays)) << where();
            memory = review.memory;
            isNew = false;
            ++step;
        }
    }
}

}  // namespace
