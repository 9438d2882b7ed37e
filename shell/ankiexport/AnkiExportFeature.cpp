#include "shell/ankiexport/AnkiExportFeature.h"

#include "platform/system/MessageBoxes.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/Platform.h"
#include "shell/ankiexport/AnkiExportForm.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Commands.h"
#include "shell/window/LessonMenu.h"
#include "shell/window/Settings.h"
#include "study/StudySession.h"

#include <QDate>

AnkiExportFeature::AnkiExportFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("ankiExportFeature");
    Platform& platform = context_.platform;
    exports_ = new AnkiExports({{platform.shippedBooks, platform.ownBooks}, *platform.library, *platform.messageBoxes,
                                context_.settings},
                               &context_.window);
    context_.lessonMenu.add(LessonMenu::Exports, [this](QMenu& menu, int lesson) {
        exports_->addLessonEntries(menu, context_.catalogue.currentVolumeFolder(), lesson);
    });
    context_.commands.add("exportHardSentences", "导出难句到 Anki", [this] { exportHardSentences(); }, this);
    context_.commands.add("exportDueSentences", "导出今日复习到 Anki", [this] { exportDueSentences(); }, this);
}

void AnkiExportFeature::exportHardSentences()
{
    QVector<SentenceKey> hard;
    for (const int n : context_.recorder.hardSentences())
        hard.append(context_.recorder.sentences().value(n));
    const LessonName& lesson = context_.session.lessonName();
    exports_->exportRecordedSentences(hard, QString("“%1”的难句").arg(lesson.title),
                                      lesson.volume + " " + lesson.title + " 难句");
}

void AnkiExportFeature::exportDueSentences()
{
    const int limit = dailyReviewLimit(context_.settings.number(kDailyReviewsKey, kDefaultDailyReviews));
    whenLatestAnswered(dueReply_, context_.record.readReviewQueue(limit), this,
                       [this](const ReviewQueue& queue) { exportDue(queue); });
}

void AnkiExportFeature::exportDue(const ReviewQueue& queue)
{
    // Words due go with the word book's export, not with the sentences.
    QVector<SentenceKey> due;
    for (const ReviewItem& item : queue) {
        if (item.word.isEmpty())
            due.append(item.sentence);
    }
    if (due.isEmpty()) {
        context_.platform.messageBoxes->inform("今天没有要复习的句子。");
        return;
    }
    exports_->exportRecordedSentences(due, "今天要复习的句子",
                                      "Lexbay 复习 " + QDate::currentDate().toString("yyyy-MM-dd"));
}
