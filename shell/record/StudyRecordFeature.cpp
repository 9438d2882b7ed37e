#include "shell/record/StudyRecordFeature.h"

#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/record/StudyRecordForm.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Commands.h"
#include "study/StudySession.h"

StudyRecordFeature::StudyRecordFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("studyRecordFeature");
    context_.commands.add("btStudyRecord", "学习记录", [this] { btStudyRecord_click(); }, this);
}

void StudyRecordFeature::createForm()
{
    form_ = new StudyRecordForm(&context_.window);
    // The exports belong to whichever feature offers them; the window runs them by name.
    connect(form_, &StudyRecordForm::exportHardSentences, this,
            [this] { context_.commands.run("exportHardSentences"); });
    connect(form_, &StudyRecordForm::exportDueSentences, this,
            [this] { context_.commands.run("exportDueSentences"); });
}

void StudyRecordFeature::btStudyRecord_click()
{
    if (form_ == nullptr)
        createForm();
    StudyRecord& record = context_.record;
    whenLatestAnswered(overviewReply_,
                       record.readOverview(context_.catalogue.currentVolumeFolder(),
                                           context_.catalogue.lessonTitles()),
                       form_, [form = form_](const RecordOverview& overview) { form->showOverview(overview); });
    whenLatestAnswered(reviewChartReply_, record.readReviewOverview(), form_,
                       [form = form_](const ReviewOverview& overview) { form->showReviewOverview(overview); });
    const StudyRecorder& recorder = context_.recorder;
    QVector<QPair<QString, QString>> hard;
    for (const int n : recorder.hardSentences())
        hard.append({recorder.sentences().value(n).english, recorder.sentences().value(n).chinese});
    form_->showHardSentences(context_.session.lessonName().title, hard);
    form_->show();
    form_->raise();
    form_->activateWindow();
}
