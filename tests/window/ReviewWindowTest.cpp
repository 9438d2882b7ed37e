// The daily review in the window: two sentences due, reviewed by keyboard
// alone, heard from their lesson's recording on the review's own player, the
// grades written to the record and the count on the button going down; the
// count after a grade from the study modes and after midnight; a review
// window closed before its sentences arrive; a video lesson's sentence with
// its picture, then an audio one without; words of the word book asked in
// their sentences, one of them from a lesson that is gone.

#include "NumberedVideo.h"
#include "ReviewedSentences.h"
#include "WindowHarness.h"

#include "anki/CourseSentences.h"
#include "dictionary/Dictionary.h"
#include "platform/audio/GstMediaPlayer.h"
#include "platform/video/VideoFrames.h"
#include "shell/widgets/VideoView.h"
#include "platform/system/CourseLibrary.h"
#include "record/StudyRecord.h"
#include "study/ComparisonMode.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {


// The grades reviewed since `since`, read from the record's file.
QList<int> gradesSince(const QString& file, qint64 since)
{
    QList<int> grades;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "review-test");
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            query.prepare("SELECT grade FROM review_log WHERE at >= ? ORDER BY id");
            query.addBindValue(since);
            query.exec();
            while (query.next())
                grades << query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("review-test");
    return grades;
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

void answer(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    press(Qt::Key_Return);
}

QToolButton* reviewButton(MainForm& f) { return f.findChild<QToolButton*>("btReview"); }

bool countShown(MainForm& f, int due)
{
    return QTest::qWaitFor([&] { return reviewButton(f)->text() == QString("今日复习 (%1)").arg(due); }, 5000);
}

// The review window F9 opens, once it has its first of two sentences; null if it never does.
QDialog* reviewOpenedByKey(MainForm& f)
{
    press(Qt::Key_F9);
    auto* form = f.findChild<QDialog*>("ReviewForm");
    if (form == nullptr || !QTest::qWaitForWindowActive(form))
        return nullptr;
    auto* progress = form->findChild<QLabel*>("lbReviewProgress");
    return QTest::qWaitFor([&] { return progress->text() == "第 1 / 2 句"; }, 5000) ? form : nullptr;
}

TEST(ReviewWindow, TwoDueSentencesAreReviewedByKeyboardAndTheirGradesReachTheRecord)
{
    QList<ExportSentence> due;
    WindowHarness h([&](const QString& folder) { due = reviewedLongAgo(folder); });
    ASSERT_EQ(due.size(), 2);
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto* button = f.findChild<QToolButton*>("btReview");
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->text() == "今日复习 (2)"; }, 5000)) << button->text().toStdString();
    const QStringList lessonPlayer = h.player().log;

    QDialog* form = reviewOpenedByKey(f);
    ASSERT_NE(form, nullptr);
    auto* progress = form->findChild<QLabel*>("lbReviewProgress");
    // The more overdue sentence first, heard from its own range.
    EXPECT_TRUE(h.reviewPlayer().fileName().endsWith("tlx1001.mp3")) << h.reviewPlayer().fileName().toStdString();
    EXPECT_TRUE(h.reviewPlayer().log.contains(QString("start %1").arg(due[1].start, 0, 'f', 2)));
    EXPECT_TRUE(h.reviewPlayer().isPlaying());
    EXPECT_EQ(h.player().log, lessonPlayer);

    // The hint gives the first letters; right with a hint proposes 困难,
    // and Enter takes it.
    press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(form->findChild<QLabel*>("lbReviewHint")->text().mid(3, 1), due[1].english.left(1));
    answer(due[1].english);
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewResult")->text().contains("正确"));
    press(Qt::Key_Return);

    // Wrong: the difference is marked and 重来 proposed; 1 takes it, and the
    // sentence comes back at the end.
    EXPECT_EQ(progress->text(), "第 2 / 2 句");
    answer("xyz");
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewResult")->text().contains("text-decoration:underline"));
    press(Qt::Key_1);
    EXPECT_EQ(progress->text(), "第 3 / 3 句（再来一次）");
    answer(due[0].english);
    press(Qt::Key_4);

    auto* summary = form->findChild<QLabel*>("lbReviewSummary");
    EXPECT_TRUE(summary->text().startsWith("复习完毕：复习了 2 句，答对 1 句。")) << summary->text().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return summary->text().contains("下次复习"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->text() == "今日复习 (0)"; }, 5000)) << button->text().toStdString();
    EXPECT_EQ(gradesSince(h.folder() + kRecordFile, started), QList<int>({2, 1, 4}));
}

TEST(ReviewWindow, ASentenceWhoseRecordingIsMissingIsSkippedWithAWord)
{
    WindowHarness h([&](const QString& folder) {
        reviewedLongAgo(folder);
        const QString books = folder + "/books";
        QFile::remove(QDir(books).filePath(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first() +
                                           "/tlx1001.mp3"));
    });
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btReview");
    auto* form = f.findChild<QDialog*>("ReviewForm");
    ASSERT_NE(form, nullptr);
    auto* notice = form->findChild<QLabel*>("lbReviewNotice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice->text().isEmpty(); }, 5000));
    EXPECT_TRUE(notice->text().contains("已跳过")) << notice->text().toStdString();
    EXPECT_TRUE(notice->text().contains("tlx1001.mp3")) << notice->text().toStdString();
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewSummary")->text().startsWith("复习完毕：复习了 0 句"));
}

// Each way the study modes grade the current sentence, the first one due.
struct Grader {
    const char* name;
    std::function<void(MainForm&, const ExportSentence&)> grade;
};

TEST(ReviewWindow, TheCountFollowsAGradeFromTheStudyModes)
{
    const Grader graders[] = {
        {"dictation answered right at once",
         [](MainForm& f, const ExportSentence& sentence) {
             f.Toolbar1_ButtonClick("btSpell");
             ui(f).teSpell->setText(sentence.english);
             QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
         }},
        {"comparison take scored high",
         [](MainForm& f, const ExportSentence&) {
             f.Toolbar1_ButtonClick("btCompare");
             emit f.modes().comparison().takeScored(f.session().currentSentence(), 100);
         }},
    };
    for (const Grader& g : graders) {
        SCOPED_TRACE(g.name);
        QList<ExportSentence> due;
        WindowHarness h([&](const QString& folder) { due = reviewedLongAgo(folder); });
        MainForm& f = h.load();
        ASSERT_TRUE(countShown(f, 2)) << reviewButton(f)->text().toStdString();
        ASSERT_EQ(f.session().currentSentence(), 0);
        g.grade(f, due[0]);
        EXPECT_TRUE(countShown(f, 1)) << reviewButton(f)->text().toStdString();
    }
}

TEST(ReviewWindow, TheCountIsReadAgainJustAfterMidnight)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(countShown(f, 0)) << reviewButton(f)->text().toStdString();
    auto* day = f.findChild<QTimer*>("timerReviewDay");
    ASSERT_NE(day, nullptr);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_TRUE(day->isActive());
    EXPECT_LE(day->remainingTime(), now.msecsTo(now.date().addDays(1).startOfDay()) + 2000);
    // Sentences fall due behind the window's back, as a new day makes them.
    reviewedLongAgo(h.folder());
    day->start(0);
    EXPECT_TRUE(countShown(f, 2)) << reviewButton(f)->text().toStdString();
    EXPECT_TRUE(day->isActive());
}

TEST(ReviewWindow, AWindowClosedBeforeItsSentencesArriveStartsNothing)
{
    WindowHarness h([&](const QString& folder) { reviewedLongAgo(folder); });
    MainForm& f = h.load();
    ASSERT_TRUE(countShown(f, 2));
    f.Toolbar1_ButtonClick("btReview");
    auto* form = f.findChild<QDialog*>("ReviewForm");
    ASSERT_NE(form, nullptr);
    form->close();
    // A read asked for after the queue answers after it: once the count
    // follows the new limit, the queue has come.
    form->findChild<QSpinBox*>("spDailyLimit")->setValue(1);
    ASSERT_TRUE(countShown(f, 1));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(h.reviewPlayer().isPlaying());
    EXPECT_EQ(h.reviewPlayer().fileName(), "") << h.reviewPlayer().log.join(", ").toStdString();
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewProgress")->text().isEmpty());
}

TEST(ReviewWindow, AVideoSentenceShowsItsOwnPictureAndAnAudioSentenceNone)
{
    QList<ExportSentence> videoDue, audioDue;
    auto frames = std::make_shared<VideoFrames>();
    MediaPlayer* player = nullptr;
    WindowHarness h(
        [&](const QString& folder) {
            QDir(folder).mkpath("clips");
            const QString video = folder + "/clips/review.mp4";
            makeNumberedVideo(video, 10 * kFramesPerSecond);
            writeVideoVolume(folder, {"00.40", "02.00", "03.00", "04.00", "05.00", "06.00", "07.00"}, video);
            // The video sentence is the more overdue: it comes first.
            videoDue = reviewedDaysAgo(folder, {folder + "/books", folder + "/own"}, kVideoVolume, 1, 20);
            const QString books = folder + "/books";
            audioDue = reviewedDaysAgo(folder, {books}, QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first(),
                                       1, 10);
        },
        "own",
        [&](Platform& platform) {
            auto review = std::make_unique<GstMediaPlayer>("fakesink sync=true");
            review->setPictureOutput(frames);
            player = review.get();
            platform.reviewPlayer = std::move(review);
            platform.reviewFrames = frames;
        });
    ASSERT_EQ(videoDue.size(), 1);
    ASSERT_EQ(audioDue.size(), 1);
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_TRUE(countShown(f, 2)) << reviewButton(f)->text().toStdString();
    QSignalSpy ended(player, &MediaPlayer::endOfStream);

    QDialog* form = reviewOpenedByKey(f);
    ASSERT_NE(form, nullptr);
    auto* progress = form->findChild<QLabel*>("lbReviewProgress");
    auto* view = form->findChild<VideoView*>("vwReviewVideo");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    // The sentence's range, 00.40 to 02.00: its last frame stays shown, and
    // nothing of the sentence is written over it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }, 10000));
    h.settle(100);
    EXPECT_EQ(numberIn(view->grab().toImage()), 49);
    EXPECT_EQ(view->caption(), "");
    EXPECT_GE(view->height(), 150) << "room for the picture";
    EXPECT_TRUE(f.findChild<VideoView*>("vwVideo")->isHidden()) << "the lesson's pane stays as it was";

    answer(videoDue[0].english);
    press(Qt::Key_Return);
    ASSERT_EQ(progress->text(), "第 2 / 2 句");
    EXPECT_TRUE(view->isHidden());
    EXPECT_TRUE(frames->frame().isNull()) << "no picture left on the player";
    const quint64 framesBefore = frames->framesShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 2; }, 10000));
    EXPECT_EQ(frames->framesShown(), framesBefore) << "the recording plays without a picture";
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewNotice")->text().isEmpty());
}

TEST(ReviewWindow, SentencesOfAMovedOrUnplayableVideoAreHeardFromTheRecordingWithOneWord)
{
    for (const bool moved : {true, false}) {
        SCOPED_TRACE(moved ? "moved" : "not media");
        QString video;
        QList<ExportSentence> due;
        MediaPlayer* player = nullptr;
        WindowHarness h(
            [&](const QString& folder) {
                video = folder + "/clips/gone.mp4";
                writeVideoVolume(folder, {"00.40", "02.00", "03.00", "04.00", "05.00", "06.00", "07.00"}, video);
                if (!moved) {
                    QDir().mkpath(folder + "/clips");
                    QFile text(video);
                    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
                    text.write("these are words, not pictures\n");
                }
                due = reviewedDaysAgo(folder, {folder + "/books", folder + "/own"}, kVideoVolume, 2, 10);
            },
            "own",
            [&](Platform& platform) {
                auto review = std::make_unique<GstMediaPlayer>("fakesink sync=true");
                platform.reviewFrames = std::make_shared<VideoFrames>();
                review->setPictureOutput(platform.reviewFrames);
                player = review.get();
                platform.reviewPlayer = std::move(review);
            });
        ASSERT_EQ(due.size(), 2);
        MainForm& f = h.load();
        ASSERT_TRUE(countShown(f, 2)) << reviewButton(f)->text().toStdString();
        f.Toolbar1_ButtonClick("btReview");
        auto* form = f.findChild<QDialog*>("ReviewForm");
        ASSERT_NE(form, nullptr);
        auto* progress = form->findChild<QLabel*>("lbReviewProgress");
        auto* notice = form->findChild<QLabel*>("lbReviewNotice");
        auto* answerBox = form->findChild<QLineEdit*>("txtReviewAnswer");
        for (int n = 0; n < 2; ++n) {
            SCOPED_TRACE(n);
            ASSERT_TRUE(QTest::qWaitFor([&] { return progress->text() == QString("第 %1 / 2 句").arg(n + 1); }, 5000));
            EXPECT_TRUE(player->lastError().isEmpty()) << player->lastError().toStdString();
            EXPECT_GT(player->duration(), 7.0) << "the lesson's recording is open";
            EXPECT_TRUE(form->findChild<VideoView*>("vwReviewVideo")->isHidden());
            EXPECT_EQ(notice->text().count(video), 1) << notice->text().toStdString();
            QTest::keyClicks(answerBox, due[1 - n].english);
            QTest::keyClick(answerBox, Qt::Key_Return);
            QTest::keyClick(answerBox, Qt::Key_3);
        }
        EXPECT_TRUE(h.boxes().shown.isEmpty());
    }
}

// Keeps `word` in the word book `daysAgo` days ago, met as `form` in the sentence.
void keepWord(const QString& folder, const QString& word, const QString& form, const SentenceKey& sentence,
              int daysAgo)
{
    StudyRecord record(folder + kRecordFile);
    RecordEvent event;
    event.kind = RecordEvent::WordSaved;
    event.at = QDateTime::currentDateTime().addDays(-daysAgo).toMSecsSinceEpoch();
    event.word = word;
    event.forms = {word, form.toLower()};
    event.form = form;
    event.sentence = sentence;
    record.add(event);
}

TEST(ReviewWindow, KeptWordsAreAskedInTheirSentencesAndGradedByTheLearnersRecall)
{
    ExportSentence met;
    QString form;
    WindowHarness h([&](const QString& folder) {
        CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
        const QString books = folder + "/books";
        const CourseVolume volume = findVolume(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first(), {books});
        met = lessonSentences(library, volume, 0).sentences.value(1);
        form = QRegularExpression("[A-Za-z]{4,}").match(met.english).captured();
        keepWord(folder, form.toLower(), form, {volume.name, met.lessonTitle, 1, "h", met.english, met.chinese}, 3);
        keepWord(folder, "platform", "platforms",
                 {volume.name, "Lesson 99 已删除", 0, "h", "Trains leave from both platforms.", "两个站台都发车。"}, 5);
    });
    ASSERT_FALSE(form.isEmpty()) << met.english.toStdString();
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_TRUE(countShown(f, 2)) << reviewButton(f)->text().toStdString();
    press(Qt::Key_F9);
    auto* review = f.findChild<QDialog*>("ReviewForm");
    ASSERT_NE(review, nullptr);
    auto* progress = review->findChild<QLabel*>("lbReviewProgress");
    auto* sentence = review->findChild<QLabel*>("lbReviewWordSentence");
    auto* result = review->findChild<QLabel*>("lbReviewResult");
    auto* chinese = review->findChild<QLabel*>("lbReviewChinese");
    auto* notice = review->findChild<QLabel*>("lbReviewNotice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->text() == "第 1 / 2 项"; }, 5000)) << progress->text().toStdString();

    // The more overdue word, from a lesson that is gone: its sentence's text
    // without sound, the word as the sentence writes it in bold.
    EXPECT_EQ(sentence->text(), "Trains leave from both <b>platforms</b>.");
    EXPECT_TRUE(notice->text().contains("“platform”的例句无法播放")) << notice->text().toStdString();
    EXPECT_FALSE(h.reviewPlayer().isPlaying());
    EXPECT_TRUE(chinese->text().isEmpty()) << "the Chinese line would give the meaning away";
    press(Qt::Key_Return);
    EXPECT_TRUE(result->text().contains(Dictionary(dictionaryFile(LEXBAY_APP_DIR)).entry("platform").meanings.first()))
        << result->text().toStdString();
    EXPECT_EQ(chinese->text(), "两个站台都发车。");
    press(Qt::Key_1);

    // The word in its shipped sentence, heard from the sentence's range.
    ASSERT_EQ(progress->text(), "第 2 / 3 项");
    EXPECT_TRUE(sentence->text().contains("<b>" + form + "</b>")) << sentence->text().toStdString();
    EXPECT_TRUE(h.reviewPlayer().isPlaying());
    EXPECT_TRUE(h.reviewPlayer().log.contains(QString("start %1").arg(met.start, 0, 'f', 2)));
    press(Qt::Key_Return);
    press(Qt::Key_Return);  // 良好, as proposed

    // Graded 重来, the first word comes back once.
    ASSERT_EQ(progress->text(), "第 3 / 3 项（再来一次）");
    press(Qt::Key_Return);
    press(Qt::Key_3);
    auto* summary = review->findChild<QLabel*>("lbReviewSummary");
    EXPECT_TRUE(summary->text().startsWith("复习完毕：复习了 2 项，答对 1 项。")) << summary->text().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reviewButton(f)->text() == "今日复习 (0)"; }, 5000));
    EXPECT_TRUE(gradesSince(h.folder() + kRecordFile, started).isEmpty()) << "no sentence was reviewed";
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "word-review-test");
    {
        db.setDatabaseName(h.folder() + kRecordFile);
        ASSERT_TRUE(db.open());
        QSqlQuery log(db);
        ASSERT_TRUE(log.exec("SELECT group_concat(word || ':' || grade, ' ') FROM (SELECT * FROM word_review_log"
                             " ORDER BY id)") && log.next());
        EXPECT_EQ(log.value(0).toString(), QString("platform:1 %1:3 platform:3").arg(form.toLower()));
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("word-review-test");
}

}  // namespace
