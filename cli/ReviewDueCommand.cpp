#include "cli/ReviewDueCommand.h"

#include "record/RecordDatabase.h"

#include <QDate>
#include <QFileInfo>

namespace {

const char* const kDateFormat = "yyyy-MM-dd";

// The record is read as it is, on a connection of this command's own.
int printDue(const QString& recordFile, const QDate& day, CommandContext& context)
{
    DueCount due;
    if (QFileInfo::exists(recordFile)) {
        RecordDatabase record("lexbay-review-due");
        if (const QString problem = record.openForReading(recordFile); !problem.isEmpty()) {
            context.err << "lexbay: 无法读取学习记录：" << problem << "\n";
            return 1;
        }
        due = record.dueCount(day);
    }
    const QString what = due.words == 0 ? QString("%1 个句子").arg(due.due)
                                        : QString("%1 个句子和 %2 个生词").arg(due.due - due.words).arg(due.words);
    context.out << QString("%1：%2到期复习（其中 %3 个已逾期）\n")
                       .arg(day.toString(kDateFormat), what)
                       .arg(due.overdue);
    return 0;
}

}  // namespace

int runReviewDue(const CommandLineRequest& line, CommandContext& context)
{
    QDate day = QDate::currentDate();
    if (line.isSet("date")) {
        day = QDate::fromString(line.value("date"), kDateFormat);
        if (!day.isValid()) {
            context.err << "lexbay: --date 需要 YYYY-MM-DD 形式的日期，而不是 “" << line.value("date") << "”\n";
            return 2;
        }
    }
    return printDue(context.folders.studyRecord, day, context);
}

