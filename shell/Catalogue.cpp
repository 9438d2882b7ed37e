// The course: volumes in the program's books/ and in the learner's own, their
// lessons, and the loading of one lesson into the page, the element tables,
// the time table and the player.

#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "platform/web/HtmlView.h"
#include "platform/web/clsForward.h"
#include "shell/MainForm.h"
#include "shell/Module1.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QSignalBlocker>

namespace {

const char* const kVolumePrefix = "Trellis英语";
const char* const kLessonPage = "curLesson.htm";
const char* const kWordsPage = "curLessonwords.htm";
const char* const kLessonHead = "htmlhead.txt";
const char* const kWordsHead = "htmlheadwords.txt";
const char* const kLessonText = "lesson.txt";
const char* const kWordList = "words.txt";

// A section index that selects no lines of a course file.
constexpr int kNoSection = -2;

// The page-load wait ends when the page is complete; should the view never
// report it (a crashed renderer), the window carries on after this long.
constexpr int kPageLoadLimitMs = 15000;

// Titles keep their line end as the lesson file holds it; the list shows them
// without it.
QString withoutLineEnd(QString title)
{
    while (title.endsWith('\n') || title.endsWith('\r'))
        title.chop(1);
    return title;
}

// The volume folders of a books folder by name: entries whose names begin
// with the course's prefix and hold no dot.
QStringList volumeNames(const QString& books)
{
    QStringList names =
        QDir(books).entryList({QString(kVolumePrefix) + "*"}, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    names.removeIf([](const QString& name) { return name.contains('.'); });
    return names;
}

}  // namespace

void MainForm::FillCbVolume()
{
    const QSignalBlocker quiet(cbVolume);
    // One list sorted by name; the learner's own volume takes the place of a
    // shipped one of the same name. Each entry keeps the folder it is read from.
    QMap<QString, QString> volumes;
    for (const QString& books : {platform_.shippedBooks, platform_.ownBooks}) {
        if (books.isEmpty())
            continue;
        for (const QString& name : volumeNames(books))
            volumes.insert(name, QDir(books).filePath(name));
    }
    for (auto volume = volumes.cbegin(); volume != volumes.cend(); ++volume)
        cbVolume->addItem(volume.key(), volume.value());
}

QString MainForm::booksFolderForLearner() const
{
    return QDir(Module1::sAppPath).filePath(platform_.ownBooks.isEmpty() ? platform_.shippedBooks : platform_.ownBooks);
}

int MainForm::volumeNumber(const QString& folderName)
{
    for (int n = 1; n <= 4; ++n) {
        if (folderName.contains(QString::number(n)))
            return n;
    }
    return 1;
}

QString MainForm::currentVolumeFolder() const { return cbVolume->currentText(); }

int MainForm::currentLessonIndex() const { return lsLesson->currentRow(); }

QString MainForm::courseFile(const QString& fileName) const
{
    const QString folder = cbVolume->currentData().toString();
    if (folder.isEmpty())
        return {};
    const QString exact = folder + "/" + fileName;
    if (QFileInfo::exists(exact))
        return exact;
    // Course folders copied from other systems carry names such as TLX1001.MP3.
    const QStringList entries = QDir(folder).entryList(QDir::Files);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + "/" + entry;
    }
    return exact;
}

QString MainForm::recordingBaseName() const
{
    return QString("tlx%1%2").arg(nCurVolume).arg(currentLessonIndex() + 1, 3, 10, QChar('0'));
}

void MainForm::cbVolume_Click()
{
    nCurVolume = volumeNumber(cbVolume->currentText());
    if (session_->isLoading())
        return;
    wbAdv->widget()->hide();
    FillLsLesson();
    if (lsLesson->count() > 0)
        lsLesson->setCurrentRow(0);
    else
        LoadLesson();
}

void MainForm::FillLsLesson()
{
    {
        const QSignalBlocker quiet(lsLesson);
        lsLesson->clear();
    }
    if (cbVolume->currentIndex() < 0)
        return;
    for (const QString& title : platform_.library->dllFillLsLesson(courseFile(kLessonText)))
        lsLesson->addItem(withoutLineEnd(title));
    requestLessonMarks();
    if (lsLesson->count() == 0 && !session_->isLoading())
        reportNoLessons();
}

void MainForm::lsLesson_Click()
{
    // Emptying the list leaves no lesson selected: nothing to load.
    if (session_->isLoading() || currentLessonIndex() < 0)
        return;
    wbAdv->widget()->hide();
    LoadLesson();
}

void MainForm::reportMissingCourse(const QString& what)
{
    platform_.messageBoxes->inform(this, what);
}

void MainForm::reportNoLessons()
{
    reportMissingCourse(QString("课本“%1”中没有课文：%2 不存在，或其中没有以 $ 开头的课文标题。")
                            .arg(currentVolumeFolder(), QDir(Module1::sAppPath).filePath(courseFile(kLessonText))));
}

void MainForm::ckShowChinese_Click()
{
    if (session_->isLoading())
        return;
    wbAdv->widget()->hide();
    showChineseSetting_ = ckShowChinese->isChecked() ? 1 : 0;
    session_->setShowChinese(showChineseSetting_ != 0);
    if (session_->status() == StatusLesson)
        LoadLesson();
}

void MainForm::wbContent_DocumentComplete() { bPageLoaded = true; }

void MainForm::LoadLesson()
{
    // With no lesson to choose (a volume without lessons) the pages come out
    // empty and nothing of the previous lesson stays in use.
    const int lesson = currentLessonIndex();
    const int section = lesson >= 0 ? lesson : kNoSection;
    lbCurLesson->setText(lesson >= 0 ? lsLesson->currentItem()->text() : QString());
    CourseLibrary& library = *platform_.library;
    const int sentenceCount =
        library.dllMakeHtml(kLessonHead, courseFile(kLessonText), kLessonPage, section, session_->showChinese());
    library.dllMakeHtmlWords(kWordsHead, courseFile(kWordList), kWordsPage, section);

    bPageLoaded = false;
    wbContent->navigate(Module1::UserFile(kLessonPage));
    WaitUntil([this] { return bPageLoaded; }, kPageLoadLimitMs);
    wbWords->navigate(Module1::UserFile(kWordsPage));

    auto forward = std::make_shared<clsForward>();
    forward->Set_Destination(this, "HtmlEventHandler");
    const LessonName name{currentVolumeFolder(), lesson >= 0 ? lsLesson->currentItem()->text() : QString()};
    session_->startLesson(wbContent->document(), sentenceCount, forward, name);
    openLessonRecording(sentenceCount, lesson);
    // The lesson left behind may have become studied.
    requestLessonMarks();
}

void MainForm::openLessonRecording(int sentenceCount, int lesson)
{
    std::vector<double> times(sentenceCount + 2, 0.0);
    playback_->stop();
    if (lesson >= 0) {
        platform_.library->dllReadAllTimeInfo(courseFile(recordingBaseName() + ".lrc"), times.data(),
                                              sentenceCount + 2);
        times[sentenceCount] = playback_->openRecording(courseFile(recordingBaseName() + ".mp3"));
    }
    session_->setSentenceTimes(std::move(times));
}
