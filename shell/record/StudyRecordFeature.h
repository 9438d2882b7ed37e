#pragma once

// The study record's window (学习记录) plugged into the window: its command,
// the overview and review chart read from the record, the lesson's hard
// sentences, and the window's two exports, run as commands by name.

#include "record/RecordEvent.h"
#include "record/ReviewState.h"
#include "shell/window/WindowContext.h"

#include <QFuture>
#include <QObject>

class StudyRecordForm;

class StudyRecordFeature : public QObject {
    Q_OBJECT
public:
    explicit StudyRecordFeature(const WindowContext& context);

    // The toolbar's 学习记录.
    void btStudyRecord_click();

private:
    void createForm();

    WindowContext context_;
    StudyRecordForm* form_ = nullptr;
    // The reads still out, each dropped when it is asked for again.
    QFuture<RecordOverview> overviewReply_;
    QFuture<ReviewOverview> reviewChartReply_;
};
