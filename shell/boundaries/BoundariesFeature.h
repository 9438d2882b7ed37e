#pragma once

// Boundaries by sight plugged into the window: Ctrl+B and the lesson list's
// menu open the boundary editor on the current sentence of an own lesson,
// and a sentence's right-click on the lesson page on that sentence;
// what the learner applies is written to the lesson's files and taken into
// the lesson the window plays at once; a sentence split or two joined are
// written to the lesson's files, the study record's sentences renumbered
// with them, and the lesson shown again. Where the lesson keeps word times
// and the acoustic model is there, the words of every sentence whose span
// changed are then found again inside it, one change after another, in the
// background. The shipped course is never changed.

#include "ownlessons/SpanWords.h"
#include "shell/window/WindowContext.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <deque>

#include <utility>
#include <vector>

class BoundaryEditor;
class HtmlElement;
class QPoint;
struct EditedLesson;
struct LessonTimes;
struct LessonName;

class BoundariesFeature : public QObject {
    Q_OBJECT
public:
    explicit BoundariesFeature(const WindowContext& context);

    // Opens the editor on the current sentence; in the shipped course it
    // only says that nothing there changes.
    void openEditor();

private:
    void showSentenceMenu(HtmlElement* element, const QPoint& at);
    double recordingEnd(const LessonTimes& times) const;
    EditedLesson readLesson(const QString& volumeFolder, int lesson) const;
    QString writeStarts(const QString& volumeFolder, int lesson, const std::vector<std::pair<int, double>>& starts);
    // The lesson's sentences from `from` on moved `shift` places: the study
    // record follows, and the window shows the lesson again.
    void renumbered(const QString& volumeFolder, int lesson, const LessonName& name, int from, int shift);
    // The words of `sentences` found again inside their spans, after the
    // re-alignments asked before.
    void realign(const QString& volumeFolder, int lesson, std::vector<int> sentences);
    void realignNext();
    void realigned();

    WindowContext context_;
    BoundaryEditor* editor_ = nullptr;
    struct Realignment {
        QString volumeFolder;
        int lesson;
        std::vector<int> sentences;
    };
    std::deque<Realignment> realignments_;
    QFutureWatcher<RealignedWords> realigning_;
};
