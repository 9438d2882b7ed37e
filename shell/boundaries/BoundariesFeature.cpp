#include "shell/boundaries/BoundariesFeature.h"

#include "course/CourseLesson.h"
#include "ownlessons/OwnVolume.h"
#include "ownlessons/SentenceSplit.h"
#include "record/StudyRecord.h"
#include "shell/Platform.h"
#include "shell/boundaries/BoundaryEditor.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Keys.h"
#include "shell/window/LessonMenu.h"
#include "platform/web/HtmlView.h"
#include "study/SentenceElements.h"
#include "study/StudySession.h"

#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

BoundariesFeature::BoundariesFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("boundariesFeature");
    context_.lessonMenu.add(LessonMenu::Edits, [this](QMenu& menu, int lesson) {
        if (context_.catalogue.isOwnVolume() && lesson >= 0)
            menu.addAction("调整句子边界…", this, &BoundariesFeature::openEditor);
    });
    connect(&context_.lessonView, &HtmlView::menuAsked, this, &BoundariesFeature::showSentenceMenu);
    connect(&realigning_, &QFutureWatcher<RealignedWords>::finished, this, &BoundariesFeature::realigned);
    context_.keys.add({{Qt::Key_B, Qt::ControlModifier, "Ctrl+B", "自己的课文中，在波形上调整当前句的边界", nullptr,
                        KeyBinding::Never, false, [this] {
                            openEditor();
                            return true;
                        }}});
}

// A right-click on a sentence of an own lesson offers its editor.
void BoundariesFeature::showSentenceMenu(HtmlElement* element, const QPoint& at)
{
    const int sentence = element != nullptr ? GetSentenceNo(element) : -1;
    QWidget* page = context_.lessonView.widget();
    if (!context_.catalogue.isOwnVolume() || !context_.session.hasSentence(sentence) || page == nullptr)
        return;
    auto* menu = new QMenu(&context_.window);
    menu->setObjectName("sentenceMenu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QString("调整第 %1 句的边界…").arg(sentence + 1), this, [this, sentence] {
        context_.session.SetCurSentence(sentence);
        openEditor();
    });
    menu->popup(page->mapToGlobal(at));
}

void BoundariesFeature::openEditor()
{
    if (!context_.catalogue.isOwnVolume()) {
        context_.showNotice("随程序提供的课本不能调整句子的边界");
        return;
    }
    const int lesson = context_.catalogue.currentLesson();
    const int sentence = context_.session.currentSentence();
    if (lesson < 0 || !context_.session.hasSentence(sentence))
        return;
    if (editor_ == nullptr) {
        editor_ = new BoundaryEditor(context_.playback, *context_.platform.messageBoxes,
                                     context_.platform.waveCacheFolder, &context_.window);
        // The window's lesson stays the one edited while the editor is open.
        editor_->setWindowModality(Qt::WindowModal);
    }
    const QString folder = context_.catalogue.currentVolumePath();
    const LessonName name = context_.session.lessonName();
    BoundaryEditor::Changes changes;
    changes.writeStarts = [this, folder, lesson](const std::vector<std::pair<int, double>>& starts) {
        return writeStarts(folder, lesson, starts);
    };
    changes.split = [this, folder, lesson, name](int k, double seconds, int at, int chineseAt) {
        const QString error = splitSentence(folder, lesson, k, seconds, at, chineseAt);
        if (error.isEmpty()) {
            renumbered(folder, lesson, name, k + 1, +1);
            realign(folder, lesson, {k, k + 1});
        }
        return error;
    };
    changes.join = [this, folder, lesson, name](int k) {
        const QString error = mergeSentences(folder, lesson, k);
        if (error.isEmpty()) {
            renumbered(folder, lesson, name, k + 2, -1);
            realign(folder, lesson, {k});
        }
        return error;
    };
    editor_->edit([this, folder, lesson] { return readLesson(folder, lesson); }, changes, sentence);
}

// The recording's length as its file gives it, else as the player found it.
double BoundariesFeature::recordingEnd(const LessonTimes& times) const
{
    const std::vector<double>& played = context_.session.sentenceTimes();
    const size_t count = size_t(context_.session.sentenceCount());
    if (times.recordingSeconds > 0 || count >= played.size())
        return times.recordingSeconds;
    return played[count];
}

EditedLesson BoundariesFeature::readLesson(const QString& volumeFolder, int lesson) const
{
    const LessonTimes times = lessonTimes(volumeFolder, lesson);
    EditedLesson read;
    read.error = times.error;
    read.starts = times.starts;
    read.firstWords = times.firstWords;
    read.unsure = times.unsure;
    read.recording = times.recording;
    read.recordingSeconds = recordingEnd(times);
    for (const CourseSentence& sentence : context_.catalogue.ownLesson(lesson).sentences) {
        read.english << sentence.english;
        read.chinese << sentence.chinese;
        read.wordTimes << sentence.words;
        std::vector<WaveformView::Word> words;
        for (const WordTime& word : sentence.words)
            words.push_back({word.start, word.end, sentence.english.mid(word.from, word.length)});
        read.words.push_back(std::move(words));
    }
    return read;
}

QString BoundariesFeature::writeStarts(const QString& volumeFolder, int lesson,
                                       const std::vector<std::pair<int, double>>& starts)
{
    const LessonTimes times = lessonTimes(volumeFolder, lesson);
    const double end = recordingEnd(times);
    QString error;
    const std::vector<double> set = setSentenceStarts(volumeFolder, lesson, starts, end, &error);
    if (!error.isEmpty())
        return error;
    // A moved start changes the span of its sentence and of the one before.
    std::vector<int> changed;
    for (const auto& [sentence, start] : starts)
        changed.insert(changed.end(), {sentence - 1, sentence});
    realign(volumeFolder, lesson, std::move(changed));
    // The lesson the window plays takes the new starts and word times at once.
    if (context_.catalogue.currentVolumePath() == volumeFolder && context_.catalogue.currentLesson() == lesson) {
        std::vector<double> played = context_.session.sentenceTimes();
        for (size_t i = 0; i < starts.size(); ++i) {
            if (size_t(starts[i].first) < played.size())
                played[size_t(starts[i].first)] = set[i];
        }
        context_.session.setSentenceTimes(std::move(played));
        context_.catalogue.readWordTimes();
    }
    return QString();
}

void BoundariesFeature::renumbered(const QString& volumeFolder, int lesson, const LessonName& name, int from, int shift)
{
    // What the learner studied of the later sentences stays theirs under
    // their new numbers.
    RecordEvent event;
    event.kind = RecordEvent::SentencesRenumbered;
    event.at = QDateTime::currentMSecsSinceEpoch();
    event.sentence.volume = name.volume;
    event.sentence.lesson = name.title;
    event.sentence.number = from;
    event.shift = shift;
    context_.record.add(event);
    // The window shows the lesson with its sentences as they now are.
    context_.showLesson(volumeFolder, lesson);
}

void BoundariesFeature::realign(const QString& volumeFolder, int lesson, std::vector<int> sentences)
{
    realignments_.push_back({volumeFolder, lesson, std::move(sentences)});
    if (!realigning_.isRunning())
        realignNext();
}

void BoundariesFeature::realignNext()
{
    if (realignments_.empty())
        return;
    const Realignment next = realignments_.front();
    realigning_.setFuture(QtConcurrent::run(
        [next] { return realignSentenceWords(next.volumeFolder, next.lesson, next.sentences); }));
}

void BoundariesFeature::realigned()
{
    const Realignment done = realignments_.front();
    realignments_.pop_front();
    const RealignedWords result = realigning_.result();
    if (result.verified > 0 && context_.catalogue.currentVolumePath() == done.volumeFolder
        && context_.catalogue.currentLesson() == done.lesson) {
        context_.catalogue.readWordTimes();
        if (editor_ != nullptr)
            editor_->wordsFoundAgain(result.verified);
    }
    realignNext();
}
