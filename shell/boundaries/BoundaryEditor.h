#pragma once

// The boundary editor (调整句子边界): one sentence of an own lesson shown as
// the recording's wave with a second of its neighbours on each side, its
// start and end dragged, nudged by keys or snapped to the silence nearest
// them, heard at once (the sentence, half a second before or after the
// chosen boundary, in a loop), every step undoable, and the changes written
// to the lesson's files when the learner applies them; "apply and next" goes
// on to the next sentence the import named as unsure. Everything has a key;
// the boundaries' times are also written out as text.

#include "boundaries/BoundaryEdit.h"
#include "course/WordTime.h"
#include "shell/boundaries/WaveformView.h"

#include <QDialog>
#include <QFutureWatcher>

#include <functional>
#include <memory>
#include <optional>

class MessageBoxes;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class SentencePlayback;

// A lesson as the editor works on it, read from its files.
struct EditedLesson {
    QString recording;
    std::vector<double> starts;
    std::vector<double> firstWords;
    double recordingSeconds = 0;
    QStringList english;
    QStringList chinese;
    // Each sentence's words, as labels under the wave, and their times.
    std::vector<std::vector<WaveformView::Word>> words;
    QList<WordTimes> wordTimes;
    // The sentences the import could not confirm.
    std::vector<bool> unsure;
    QString error;
};

class BoundaryEditor : public QDialog {
    Q_OBJECT
public:
    // Reads the lesson from its files as they are now.
    using Loader = std::function<EditedLesson()>;
    // What the editor changes in the lesson's files, each returning why not,
    // or empty: the changed starts, (sentence, start) each; a sentence split
    // at a time and a character of its English; a sentence joined with the
    // next.
    struct Changes {
        std::function<QString(const std::vector<std::pair<int, double>>& starts)> writeStarts;
        std::function<QString(int sentence, double seconds, int at, int chineseAt)> split;
        std::function<QString(int sentence)> join;
    };

    // waveCache: where recordings' summaries are kept (empty: not kept).
    BoundaryEditor(SentencePlayback& playback, MessageBoxes& messages, QString waveCache, QWidget* parent);

    // Opens the editor on `sentence` of the lesson the loader reads.
    void edit(Loader loader, Changes changes, int sentence);

    // What the learner may do, each with its key.
    void playSentence();
    void playBefore();
    void playAfter();
    void nudge(double seconds);
    void snap();
    void choose(BoundaryEdit::Side side);
    void zoom(double factor, double around);
    void fitSentence();
    void undo();
    void redo();
    bool apply();
    void applyAndNext();
    // At the word nearest the play head, the play head the second half's start.
    void splitAtPlayHead();
    void joinWithNext();
    // The lesson's word times were found again for `sentences` sentences.
    void wordsFoundAgain(int sentences);

protected:
    void reject() override;

private:
    void buildControls();
    void addKeys();
    void load(int sentence);
    void startSummary(const QString& recording);
    void showEdit();
    void showWords();
    void play(double from, double to);
    void followPlayback();
    void dropBoundary(int side, double seconds);
    void dragBoundary(int side, double seconds);
    // Structural changes wait until the boundaries' changes are applied or undone.
    bool boundariesSettled();
    QPushButton* button(const char* name, const QString& caption, const QString& key);

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    QString waveCache_;
    Loader load_;
    Changes changes_;
    // Splits and joins done, to undo (by the other) and redo: the sentence,
    // and for a join what undoing it needs (the second's start, where the
    // texts met).
    struct Structural {
        bool split;
        int sentence;
        double seconds = 0;
        int at = 0;
        int chineseAt = -1;
    };
    std::vector<Structural> structuralDone_, structuralUndone_;
    bool runStructural(const Structural& step, bool inverse);
    EditedLesson lesson_;
    std::optional<BoundaryEdit> edit_;
    BoundaryEdit::Side chosen_ = BoundaryEdit::Start;
    std::shared_ptr<const WaveSummary> summary_;
    QString summaryOf_;
    QFutureWatcher<WaveSummary> summaryReading_;
    // The stretch playing, to loop it.
    double playFrom_ = 0, playTo_ = 0;
    bool playing_ = false;

    QLabel* lbSentence_;
    WaveformView* waveform_;
    QLabel* lbTimes_;
    QLabel* lbNotice_;
    QCheckBox* ckLoop_;
    QCheckBox* ckSnap_;
    QPushButton* btUndo_;
    QPushButton* btRedo_;
    QPushButton* btApply_;
    QTimer* playHead_;
};
