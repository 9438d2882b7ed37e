#pragma once

// The export to Anki plugged into the window: 「导出本课到 Anki…」 and
// 「导出本册到 Anki…」 in the lesson list's menu, and the commands the study
// record's window runs by name: the lesson's hard sentences and the
// sentences due today.

#include "record/ReviewState.h"
#include "shell/window/WindowContext.h"

#include <QFuture>
#include <QObject>

class AnkiExports;

class AnkiExportFeature : public QObject {
    Q_OBJECT
public:
    explicit AnkiExportFeature(const WindowContext& context);

    void exportHardSentences();
    void exportDueSentences();

private:
    void exportDue(const ReviewQueue& queue);

    WindowContext context_;
    AnkiExports* exports_ = nullptr;
    QFuture<ReviewQueue> dueReply_;
};
