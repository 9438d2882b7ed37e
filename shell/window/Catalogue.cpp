#include "shell/window/Catalogue.h"

#include "course/CourseFiles.h"
#include "course/LessonReader.h"
#include "course/TimingFile.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseNames.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/UserFolderFiles.h"
#include "platform/system/Waits.h"
#include "platform/web/HtmlView.h"
#include "platform/web/clsForward.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "shell/window/Module1.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextDocumentFragment>

namespace {

// A section index that selects no lines of a course file.
constexpr int kNoSection = -2;

// The page-load wait ends when the page is complete; should the view never
// report it (a crashed renderer), the window carries on after this long.
constexpr int kPageLoadLimitMs = 15000;

const char* const kMarkIcons[] = {nullptr, "lesson-studied.svg", "lesson-dictated.svg"};

}  // namespace

Catalogue::Catalogue(const Books& books, const Controls& controls, CourseLibrary& library, MessageBoxes& messages,
                     StudySession& session, SentencePlayback& playback, StudyRecord& record, QObject* parent)
    : QObject(parent), model_(books.shipped, books.own, library), c_(controls), library_(library),
      messages_(messages), session_(session), playback_(playback), record_(record)
{
    connect(&session_, &StudySession::showChineseChanged, this, &Catalogue::followShowChinese);
}

void Catalogue::FillCbVolume()
{
    model_.listVolumes();
    showVolumes();
}

void Catalogue::showVolumes()
{
    const QSignalBlocker quiet(c_.cbVolume);
    c_.cbVolume->clear();
    // Each entry keeps the folder it is read from.
    for (const CourseVolume& volume : model_.volumes())
        c_.cbVolume->addItem(volume.name, volume.folder);
    c_.cbVolume->setCurrentIndex(model_.volumeIndex());
}

void Catalogue::showLessons(bool reportEmpty)
{
    {
        const QSignalBlocker quiet(c_.lsLesson);
        c_.lsLesson->clear();
        c_.lsLesson->addItems(model_.lessonTitles());
        c_.lsLesson->setCurrentRow(model_.lessonIndex());
    }
    if (model_.volumeIndex() < 0)
        return;
    requestLessonMarks();
    if (model_.lessonTitles().isEmpty() && reportEmpty)
        reportNoLessons();
}

QString Catalogue::booksFolderForLearner() const { return QDir(Module1::sAppPath).filePath(model_.booksForLearner()); }

QString Catalogue::currentVolumeFolder() const { return model_.volume().name; }

QString Catalogue::currentVolumePath() const { return model_.volume().folder; }

bool Catalogue::isOwnVolume() const { return model_.volume().own; }

int Catalogue::currentLesson() const { return model_.lessonIndex(); }

void Catalogue::showLesson(const QString& volumePath, int lesson)
{
    model_.show(volumePath, lesson);
    showVolumes();
    showLessons();
    LoadLesson();
}

QStringList Catalogue::lessonTitles() const { return model_.lessonTitles(); }

QString Catalogue::courseFile(const QString& fileName) const { return ::courseFile(currentVolumePath(), fileName); }

QString Catalogue::recordingBaseName() const
{
    return lessonFileBase(currentVolumeFolder(), model_.lessonIndex() + 1);
}

void Catalogue::start(int volume, int lesson)
{
    model_.start(volume, lesson);
    {
        const QSignalBlocker quiet(c_.cbVolume);
        c_.cbVolume->setCurrentIndex(model_.volumeIndex());
    }
    showLessons(false);
    LoadLesson();
    if (model_.lessonTitles().isEmpty())
        reportNoLessons();
}

void Catalogue::volumeChosen()
{
    model_.chooseVolume(c_.cbVolume->currentIndex());
    showLessons();
    if (!model_.lessonTitles().isEmpty())
        c_.lsLesson->setCurrentRow(0);
    else
        LoadLesson();
}

void Catalogue::FillLsLesson(bool reportEmpty)
{
    model_.listLessons();
    showLessons(reportEmpty);
}

void Catalogue::reportNoLessons()
{
    messages_.inform(QString("课本“%1”中没有课文：%2 不存在，或其中没有以 $ 开头的课文标题。")
                         .arg(currentVolumeFolder(), QDir(Module1::sAppPath).filePath(courseFile(kLessonText))));
}

// The lesson page shows the Chinese lines or not as the session says: it is
// made again when that changes.
void Catalogue::followShowChinese()
{
    if (lessonLoaded_ && session_.showChinese() != pageShowsChinese_)
        LoadLesson();
}

void Catalogue::LoadLesson()
{
    const unsigned thisLoad = ++latestLoad_;
    // The lesson list's row is the learner's choice.
    model_.chooseLesson(c_.lsLesson->currentRow());
    // With no lesson to choose (a volume without lessons) the pages come out
    // empty and nothing of the previous lesson stays in use.
    const int lesson = model_.lessonIndex();
    const QString title = model_.lessonTitles().value(lesson);
    const int section = lesson >= 0 ? lesson : kNoSection;
    c_.lbCurLesson->setText(title);
    pageShowsChinese_ = session_.showChinese();
    const int sentenceCount =
        library_.dllMakeHtml(kLessonHead, courseFile(kLessonText), kLessonPage, section, pageShowsChinese_);
    library_.dllMakeHtmlWords(kWordsHead, courseFile(kWordList), kWordsPage, section);

    bPageLoaded = false;
    c_.wbContent->navigate(Module1::UserFile(kLessonPage));
    // The recording opens on the player's own threads while the page loads;
    // the old one falls silent now.
    const CourseLesson own = ownLesson(lesson);
    if (lesson >= 0)
        playback_.prepareRecording(courseFile(recordingBaseName() + ".mp3"), own.video);
    WaitUntil([this] { return bPageLoaded; }, kPageLoadLimitMs);
    // Another lesson was chosen during the wait and has been loaded in full:
    // what this load counted and read belongs to a page no longer shown.
    if (thisLoad != latestLoad_)
        return;
    c_.wbWords->navigate(Module1::UserFile(kWordsPage));

    auto forward = std::make_shared<clsForward>();
    forward->Set_Destination(c_.pressTarget, "HtmlEventHandler");
    session_.startLesson(c_.wbContent->document(), sentenceCount, forward, {currentVolumeFolder(), title});
    openLessonRecording(sentenceCount, lesson, own);
    showWordTimes(own);
    lessonLoaded_ = true;
    // The lesson left behind may have become studied.
    requestLessonMarks();
}

CourseLesson Catalogue::ownLesson(int lesson) const
{
    if (!isOwnVolume() || lesson < 0)
        return {};
    return LessonReader(library_).lesson(model_.volume(), lesson);
}

void Catalogue::openLessonRecording(int sentenceCount, int lesson, const CourseLesson& own)
{
    std::vector<double> times(sentenceCount + 2, 0.0);
    playback_.stop();
    if (lesson >= 0) {
        timingfile::readStarts(library_, courseFile(recordingBaseName() + ".lrc"), sentenceCount, &times);
        times[sentenceCount] = playback_.openRecording(courseFile(recordingBaseName() + ".mp3"), own.video);
    }
    session_.setSentenceTimes(std::move(times));
    QStringList lines;
    if (playback_.playsVideo()) {
        for (const CourseSentence& sentence : own.sentences)
            lines << QTextDocumentFragment::fromHtml(sentence.english).toPlainText();
    }
    emit lessonVideo(playback_.playsVideo(), lines);
    if (!own.missingVideo.isEmpty())
        emit notice(QStringLiteral("找不到本课的视频“%1”，本课只播放声音").arg(own.missingVideo));
}

void Catalogue::readWordTimes()
{
    showWordTimes(ownLesson(currentLesson()));
}

void Catalogue::showWordTimes(const CourseLesson& own)
{
    QList<WordTimes> words;
    for (const CourseSentence& sentence : own.sentences)
        words << sentence.words;
    session_.setWordTimes(std::move(words));
}

void Catalogue::requestLessonMarks()
{
    // Marks still out are for a list shown before this one.
    whenLatestAnswered(marksReply_, record_.readMarks(currentVolumeFolder(), lessonTitles()), this,
                       [this](const QVector<int>& marks) { showLessonMarks(marks); });
}

void Catalogue::showLessonMarks(const QVector<int>& marks)
{
    QListWidget* list = c_.lsLesson;
    // A list that no longer matches the titles asked about keeps its marks.
    if (marks.size() != list->count())
        return;
    if (markIcons_.empty()) {
        for (const char* icon : kMarkIcons)
            markIcons_.push_back(icon ? QIcon(Module1::sAppPath + "/icons/" + icon) : QIcon());
    }
    for (int i = 0; i < marks.size(); ++i) {
        list->item(i)->setIcon(marks[i] > 0 && marks[i] < int(markIcons_.size()) ? markIcons_[marks[i]] : QIcon());
        list->item(i)->setToolTip(marks[i] == AllDictatedRight ? "已学习，每句都听写对过"
                                  : marks[i] == Studied        ? "已学习"
                                                               : QString());
    }
}
