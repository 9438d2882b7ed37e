// The window's side of the study record: the record and what feeds it, the
// record window, the hard sentences for dictation. The lesson list's marks
// are the catalogue's.

#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/ankiexport/AnkiExportForm.h"
#include "shell/window/Catalogue.h"
#include "shell/window/MainForm.h"
#include "shell/record/StudyRecordForm.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

void MainForm::createRecord()
{
    record_ = std::make_unique<StudyRecord>(platform_.studyRecordFile);
    recorder_ = std::make_unique<StudyRecorder>(*record_, *session_, *playback_, modes_->dictation(),
                                                modes_->comparison());
    connect(&modes_->comparison(), &ComparisonMode::takeScored, recorder_.get(), &StudyRecorder::takeScored);
    modes_->dictation().setHardSentences([this] { return recorder_->hardSentences(); });
    connect(record_.get(), &StudyRecord::problem, this, &MainForm::showNotice);
}

void MainForm::exportHardSentences()
{
    QVector<SentenceKey> hard;
    for (const int n : recorder_->hardSentences())
        hard.append(recorder_->sentences().value(n));
    const LessonName& lesson = session_->lessonName();
    ankiExports_->exportRecordedSentences(hard, QString("“%1”的难句").arg(lesson.title),
                                          lesson.volume + " " + lesson.title + " 难句");
}

void MainForm::exportDueSentences()
{
    whenLatestAnswered(dueExportReply_, record_->readReviewQueue(dailyReviews_), this,
                       [this](const ReviewQueue& queue) { exportDue(queue); });
}

void MainForm::btStudyRecord_click()
{
    if (recordForm_ == nullptr) {
        recordForm_ = new StudyRecordForm(this);
        connect(recordForm_, &StudyRecordForm::exportHardSentences, this, &MainForm::exportHardSentences);
        connect(recordForm_, &StudyRecordForm::exportDueSentences, this, &MainForm::exportDueSentences);
    }
    whenLatestAnswered(overviewReply_,
                       record_->readOverview(catalogue_->currentVolumeFolder(), catalogue_->lessonTitles()),
                       recordForm_,
                       [form = recordForm_](const RecordOverview& overview) { form->showOverview(overview); });
    whenLatestAnswered(reviewChartReply_, record_->readReviewOverview(), recordForm_,
                       [form = recordForm_](const ReviewOverview& overview) { form->showReviewOverview(overview); });
    QVector<QPair<QString, QString>> hard;
    for (const int n : recorder_->hardSentences())
        hard.append({recorder_->sentences().value(n).english, recorder_->sentences().value(n).chinese});
    recordForm_->showHardSentences(session_->lessonName().title, hard);
    recordForm_->show();
    recordForm_->raise();
    recordForm_->activateWindow();
}
