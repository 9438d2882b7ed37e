// The window's side of the study record: the record and what feeds it, the
// lesson list's marks, the record window, the hard sentences for dictation.

#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "shell/StudyRecordForm.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QComboBox>
#include <QIcon>
#include <QListWidget>

namespace {

const char* const kMarkIcons[] = {nullptr, "lesson-studied.svg", "lesson-dictated.svg"};

QStringList titlesOf(const QListWidget* list)
{
    QStringList titles;
    for (int i = 0; i < list->count(); ++i)
        titles << list->item(i)->text();
    return titles;
}

}  // namespace

void MainForm::createRecord()
{
    record_ = std::make_unique<StudyRecord>(platform_.studyRecordFile);
    recorder_ = std::make_unique<StudyRecorder>(*record_, *session_, *playback_, modes_->dictation(),
                                                modes_->comparison());
    modes_->dictation().setHardSentences([this] { return recorder_->hardSentences(); });
    connect(record_.get(), &StudyRecord::problem, this, &MainForm::showNotice);
    connect(record_.get(), &StudyRecord::marksRead, this, &MainForm::showLessonMarks);
    connect(record_.get(), &StudyRecord::overviewRead, this, [this](int request, const RecordOverview& overview) {
        if (recordForm_ != nullptr && request == overviewRequest_)
            recordForm_->showOverview(overview);
    });
}

void MainForm::requestLessonMarks()
{
    marksRequest_ = record_->readMarks(currentVolumeFolder(), titlesOf(lsLesson));
}

void MainForm::showLessonMarks(int request, const QVector<int>& marks)
{
    // The list may have changed volume since the marks were asked for.
    if (request != marksRequest_ || marks.size() != lsLesson->count())
        return;
    if (markIcons_.empty()) {
        for (const char* icon : kMarkIcons)
            markIcons_.push_back(icon ? QIcon(Module1::sAppPath + "/icons/" + icon) : QIcon());
    }
    for (int i = 0; i < marks.size(); ++i) {
        lsLesson->item(i)->setIcon(marks[i] > 0 && marks[i] < int(markIcons_.size()) ? markIcons_[marks[i]] : QIcon());
        lsLesson->item(i)->setToolTip(marks[i] == AllDictatedRight ? "已学习，每句都听写对过"
                                      : marks[i] == Studied        ? "已学习"
                                                                   : QString());
    }
}

void MainForm::btStudyRecord_click()
{
    if (recordForm_ == nullptr)
        recordForm_ = new StudyRecordForm(this);
    overviewRequest_ = record_->readOverview(currentVolumeFolder(), titlesOf(lsLesson));
    QVector<QPair<QString, QString>> hard;
    for (const int n : recorder_->hardSentences())
        hard.append({recorder_->sentences().value(n).english, recorder_->sentences().value(n).chinese});
    recordForm_->showHardSentences(session_->lessonName().title, hard);
    recordForm_->show();
    recordForm_->raise();
    recordForm_->activateWindow();
}
