// The window on its real page view and player.

#include "CourseWindow.h"

#include "course/WordTimesFile.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/web/HtmlView.h"
#include "platform/web/WebEngineHtmlView.h"
#include "shell/boundaries/WaveformView.h"
#include "shell/words/WordCard.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMouseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

const char* const kGreen = "rgb(0, 153, 51)";
const char* const kRed = "rgb(204, 0, 0)";
const char* const kChineseColour = "rgb(102, 102, 51)";

TEST(RealWindow, StartsOnTheSampleCourseWithTheFirstSentenceMarkedInTheLivePage)
{
    CourseWindow w;
    MainForm& f = w.start();
    ASSERT_EQ(f.session().sentenceCount(), 8);
    EXPECT_EQ(w.liveColour("engs0"), kRed);
    EXPECT_EQ(w.liveColour("engs1"), kGreen);
    EXPECT_EQ(w.liveColour("imgs0"), kGreen);
    EXPECT_EQ(w.liveColour("chns0"), kChineseColour);
    const std::vector<double>& times = f.session().sentenceTimes();
    EXPECT_GT(times[8], times[7]);
    EXPECT_DOUBLE_EQ(times[8], w.player().duration());
    ASSERT_TRUE(settleUntil([&w] { return w.welcome().document() != nullptr; }, 20000));
    EXPECT_FALSE(ui(f).wbAdv->isHidden());
    // The analyses' library, and the codecs it brings, come with their first use.
    QFile maps("/proc/self/maps");
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("libaubio"));
}

// The parent of a process, from its stat line ("pid (name) state ppid ...").
qint64 parentOf(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() : -1;
}

TEST(RealWindow, ItsThreePageViewsShareOneRendererProcess)
{
    CourseWindow w;
    w.start();
    ASSERT_TRUE(settleUntil([&w] { return w.welcome().document() && w.words().document(); }, 20000));
    const qint64 renderer = w.content().page()->renderProcessPid();
    EXPECT_GT(renderer, 0);
    EXPECT_EQ(w.words().page()->renderProcessPid(), renderer);
    EXPECT_EQ(w.welcome().page()->renderProcessPid(), renderer);
    // Unsandboxed, as the tests run, no zygote stands between the program and its renderer.
    EXPECT_EQ(parentOf(renderer), QCoreApplication::applicationPid());
}

TEST(RealWindow, PressOnASoundIconMarksItsSentenceAndPlaysExactlyItsRange)
{
    CourseWindow w;
    MainForm& f = w.start();
    ui(f).wbAdv->hide();  // the welcome page lies over the lesson page
    MediaPlayer& player = w.player();
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);

    QElapsedTimer clock;
    w.clickElement("imgs3");
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&f] { return f.session().currentSentence() == 3; }, 5000));
    EXPECT_EQ(w.liveColour("engs3"), kRed);
    EXPECT_EQ(w.liveColour("engs0"), kGreen);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 4 句");
    EXPECT_DOUBLE_EQ(player.selectionStart(), f.session().sentenceTimes()[3]);
    EXPECT_DOUBLE_EQ(player.selectionEnd(), f.session().sentenceTimes()[4]);

    const double length = f.session().sentenceTimes()[4] - f.session().sentenceTimes()[3];
    ASSERT_TRUE(ends.wait(int(length * 1000) + 5000));
    EXPECT_NEAR(player.currentPosition(), f.session().sentenceTimes()[4], 0.001);
    EXPECT_GT(clock.elapsed(), length * 1000 - 100);
    QTest::qWait(300);
    EXPECT_EQ(ends.count(), 1);
}

// An own volume "我的课本" in `folder`/own whose one lesson is the sample
// course's first recording with the times of three words of its first
// sentence, made by hand.
void makeOwnLessonWithWordTimes(const QString& folder)
{
    const QString volume = folder + "/own/我的课本";
    ASSERT_TRUE(QDir().mkpath(volume));
    FileTransaction transaction(volume);
    ASSERT_TRUE(QFile::copy(folder + "/books/Trellis英语第1册/tlx1001.mp3", transaction.stagePath("tlx1001.mp3")));
    const NewLesson lesson{"Station",
                           {{"Excuse me, where is the station?", "", 0.35,
                             {{0, 6, 0.45, 1.15}, {11, 5, 1.25, 1.95}, {24, 7, 2.45, 3.30}}},
                            {"Go straight on and turn left at the bank.", "", 3.61, {}}},
                           {},
                           7.3};
    ASSERT_EQ(stageLesson(transaction, volume, lesson).error, QString());
    ASSERT_TRUE(transaction.commit());
}

// The own volume's lesson shown, the welcome page (which lies over the lesson
// page) put aside.
bool showOwnLesson(MainForm& f)
{
    ui(f).wbAdv->hide();
    ui(f).cbVolume->setCurrentIndex(ui(f).cbVolume->findText("我的课本"));
    return settleUntil([&f] { return f.session().lessonName().volume == "我的课本"; }, 20000);
}

// What the live page holds beside its head and body (the spoken word's mark),
// the word of the page's text that the first of its boxes covers, the body's
// markup, and that box.
const char* const kMarkAndText = R"js((function () {
    var drawn = Array.prototype.filter.call(document.querySelectorAll('*'), function (e) {
        return e !== document.documentElement && !document.head.contains(e) && !document.body.contains(e);
    });
    var word = '', box = [];
    drawn.forEach(function (e) {
        var r = e.getBoundingClientRect();
        if (word || r.width === 0 || r.height === 0)
            return;
        box = [r.left, r.top, r.width, r.height];
        var at = document.caretRangeFromPoint(r.left + r.width / 2, r.top + r.height / 2);
        if (!at || at.startContainer.nodeType !== Node.TEXT_NODE)
            return;
        var text = at.startContainer.data;
        var from = at.startOffset, to = at.startOffset;
        while (from > 0 && /\w/.test(text[from - 1])) --from;
        while (to < text.length && /\w/.test(text[to])) ++to;
        word = text.slice(from, to);
    });
    return [drawn.length, word, document.body.innerHTML, box];
})())js";

TEST(RealWindow, TheSpokenWordOfAnOwnLessonIsMarkedOverItsTextWhileItPlays)
{
    CourseWindow w(makeOwnLessonWithWordTimes, Audio::Silent, "own");
    MainForm& f = w.start();
    ASSERT_TRUE(showOwnLesson(f));
    const QVariantList before = w.runInPage(kMarkAndText).toList();
    ASSERT_EQ(before.size(), 4);
    EXPECT_EQ(before.at(0).toInt(), 0);
    const QString body = before.at(2).toString();

    // Each observation: the playback position around the page's answer and
    // the word marked then.
    struct Seen {
        double from;
        double to;
        QString word;
        bool lettersShow;
    };
    QList<Seen> seen;
    MediaPlayer& player = w.player();
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    w.clickElement("imgs0");
    QElapsedTimer clock;
    clock.start();
    while (ends.isEmpty() && clock.elapsed() < 15000) {
        settle(20);
        const double from = player.currentPosition();
        const QVariantList page = w.runInPage(kMarkAndText).toList();
        ASSERT_EQ(page.size(), 4);
        EXPECT_EQ(page.at(2).toString(), body) << "the page's text and elements stay as they are";
        if (page.at(0).toInt() == 0)
            continue;
        const double to = player.currentPosition();
        // The letters show through the mark in the current sentence's red
        // (in most views taken: one may predate the page's drawing).
        const QVariantList box = page.at(3).toList();
        const QImage shown = ui(f).wbContent->grab().toImage();
        bool red = false;
        for (int x = box.value(0).toInt(); x < box.value(0).toInt() + box.value(2).toInt(); ++x) {
            const QColor c = shown.pixelColor(x, int(box.value(1).toDouble() + box.value(3).toDouble() / 2));
            red = red || (c.red() > 150 && c.green() < 80);
        }
        seen.push_back({from, to, page.at(1).toString(), red});
    }
    ASSERT_FALSE(ends.isEmpty());
    EXPECT_EQ(w.liveColour("engs0"), kRed);

    // Every word seen marked was being spoken then (give or take a page
    // update), and each of the three was seen.
    const QList<std::tuple<QString, double, double>> words = {
        {"Excuse", 0.45, 1.15}, {"where", 1.25, 1.95}, {"station", 2.45, 3.30}};
    constexpr double kSlack = 0.15;
    EXPECT_GT(std::count_if(seen.cbegin(), seen.cend(), [](const Seen& s) { return s.lettersShow; }), seen.size() / 2)
        << "the mark hides the word";
    for (const auto& [word, start, end] : words) {
        const bool marked = std::any_of(seen.cbegin(), seen.cend(), [&](const Seen& s) { return s.word == word; });
        EXPECT_TRUE(marked) << word.toStdString();
    }
    for (const Seen& s : seen) {
        const auto spoken = std::find_if(words.cbegin(), words.cend(), [&](const auto& t) {
            return std::get<0>(t) == s.word && s.from - kSlack < std::get<2>(t) && s.to + kSlack > std::get<1>(t);
        });
        EXPECT_NE(spoken, words.cend()) << s.word.toStdString() << " marked at " << s.from << "–" << s.to << " s";
    }

    // Unmarked once the sentence has ended.
    ASSERT_TRUE(settleUntil([&w] { return w.runInPage(kMarkAndText).toList().value(0).toInt() == 0; }, 2000));
    EXPECT_EQ(w.runInPage(kMarkAndText).toList().value(2).toString(), body);
}

TEST(RealWindow, ADoubleClickedWordShowsItsCardAndIsHeardAsItWasSaid)
{
    CourseWindow w(makeOwnLessonWithWordTimes, Audio::Silent, "own");
    MainForm& f = w.start();
    ASSERT_TRUE(showOwnLesson(f));
    const QString body = w.runInPage(kMarkAndText).toList().value(2).toString();
    auto* card = f.findChild<WordCard*>("wordCard");
    ASSERT_NE(card, nullptr);
    // The page's text begins with a blank before "Excuse".
    const int station = 1 + 24;

    // Keys go where the window's focus is, as a keyboard's do.
    auto press = [&f](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : &f, key, modifiers);
    };

    // A page just loaded may not take the pointer before its first frame is
    // drawn: the first double-click is tried again once.
    for (int attempt = 0; attempt < 2 && !card->isVisible(); ++attempt) {
        w.doubleClickText("engs0", station, 7);
        settleUntil([card] { return card->isVisible(); }, 2500);
    }
    ASSERT_TRUE(card->isVisible());
    const QString said = card->plainText();
    EXPECT_TRUE(said.startsWith("station")) << said.toStdString();
    EXPECT_TRUE(said.contains("车站")) << said.toStdString();
    EXPECT_TRUE(said.endsWith("Excuse me, where is the station?")) << said.toStdString();
    EXPECT_TRUE(card->geometry().intersects(f.rect()));
    EXPECT_EQ(w.runInPage(kMarkAndText).toList().value(2).toString(), body) << "the page's text stays as it is";

    // ▶ plays the word's own stretch of the recording.
    card->findChild<QPushButton*>("btWordPlay")->click();
    EXPECT_DOUBLE_EQ(w.player().selectionStart(), 2.45);
    EXPECT_DOUBLE_EQ(w.player().selectionEnd(), 3.30);

    press(Qt::Key_Escape);
    EXPECT_FALSE(card->isVisible());
    EXPECT_EQ(f.session().status(), StatusLesson) << "Esc closed the card and nothing else";

    // Kept in the word book: underlined wherever the page has it, and listed
    // in the word book's window with the sentence it was met in.
    w.doubleClickText("engs0", station, 7);
    ASSERT_TRUE(settleUntil([card] { return card->isVisible(); }, 5000));
    auto* save = card->findChild<QPushButton*>("btWordSave");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(save->text(), "已在生词本");
    const char* const kUnderlined =
        "Array.prototype.filter.call(document.documentElement.children, function (e) {"
        " return e.style.zIndex === '2147483646'; }).map(function (e) {"
        " return e.children.length; })";
    ASSERT_TRUE(settleUntil([&w, kUnderlined] { return w.runInPage(kUnderlined).toList() == QVariantList{1}; }, 5000))
        << w.runInPage(kUnderlined).toList().size();
    EXPECT_EQ(w.runInPage(kMarkAndText).toList().value(2).toString(), body);
    f.findChild<QAction*>("btWordBook")->trigger();
    auto* book = f.findChild<QTreeWidget*>("lsWordBook");
    ASSERT_NE(book, nullptr);
    ASSERT_TRUE(settleUntil([book] { return book->topLevelItemCount() == 1; }, 5000));
    EXPECT_EQ(book->topLevelItem(0)->text(0), "station");
    EXPECT_TRUE(book->topLevelItem(0)->text(1).contains("车站"));
    ASSERT_EQ(book->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(book->topLevelItem(0)->child(0)->text(0), "Excuse me, where is the station?");
    // Taken out again: out of the book and off the page.
    book->setCurrentItem(book->topLevelItem(0));
    book->window()->findChild<QPushButton*>("btWordBookRemove")->click();
    ASSERT_TRUE(settleUntil([book] { return book->topLevelItemCount() == 0; }, 5000));
    ASSERT_TRUE(settleUntil([&w, kUnderlined] { return w.runInPage(kUnderlined).toList().isEmpty(); }, 5000));
    book->window()->close();
    press(Qt::Key_Escape);

    // From the keyboard: the current sentence's first word, then the next.
    press(Qt::Key_Right, Qt::ControlModifier);
    ASSERT_TRUE(settleUntil([card] { return card->isVisible() && card->plainText().startsWith("excuse"); }, 5000))
        << card->plainText().toStdString();
    press(Qt::Key_Right, Qt::ControlModifier);
    ASSERT_TRUE(settleUntil([card] { return card->plainText().startsWith("me"); }, 5000))
        << card->plainText().toStdString();

    // While dictation runs no word gives a card.
    f.findChild<QAction*>("btSpell")->trigger();
    ASSERT_EQ(f.session().status(), StatusSpell);
    w.doubleClickText("engs0", station, 7);
    settle(500);
    EXPECT_FALSE(card->isVisible());
    f.findChild<QAction*>("btSpell")->trigger();

    // A click elsewhere closes the card; English that recall-English hides
    // gives none.
    QTest::mouseClick(f.findChild<QAbstractButton*>("btThinkEnglish"), Qt::LeftButton);
    EXPECT_FALSE(card->isVisible());
    ASSERT_EQ(w.liveColour("engs0"), "rgb(255, 255, 255)");
    w.doubleClickText("engs0", station, 7);
    settle(500);
    EXPECT_FALSE(card->isVisible());
}

TEST(RealWindow, WithItsSettingOnThePointerRestingOnAWordShowsItsCard)
{
    CourseWindow w(
        [](const QString& folder) {
            makeOwnLessonWithWordTimes(folder);
            QSettings settings(folder + "/settings.ini", QSettings::IniFormat);
            settings.setValue("Options/WordCardOnRest", 1);
        },
        Audio::Silent, "own");
    MainForm& f = w.start();
    ASSERT_TRUE(showOwnLesson(f));
    auto* card = f.findChild<WordCard*>("wordCard");
    // As with a double-click, a page just loaded may miss the first move.
    for (int attempt = 0; attempt < 2 && !card->isVisible(); ++attempt) {
        w.restPointerOnText("engs0", 1 + 11, 5);
        EXPECT_FALSE(card->isVisible()) << "not before the pointer has rested";
        settleUntil([card] { return card->isVisible(); }, 2500);
    }
    ASSERT_TRUE(card->isVisible());
    EXPECT_TRUE(card->plainText().startsWith("where")) << card->plainText().toStdString();
}

TEST(RealWindow, ClosingSavesThePlaceAndRemovesTheScratchPages)
{
    CourseWindow w;
    MainForm& f = w.start();
    ui(f).lsLesson->setCurrentRow(2);
    ASSERT_TRUE(QFile::exists(w.folder() + "/curLesson.htm"));
    w.close();
    QSettings settings(w.settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Options/CurLessonNo").toString(), "2");
    EXPECT_EQ(settings.value("Options/CurVolumeNo").toString(), "0");
    EXPECT_EQ(settings.value("Options/ShowChinese").toString(), "1");
    EXPECT_FALSE(QFile::exists(w.folder() + "/curLesson.htm"));
    EXPECT_FALSE(QFile::exists(w.folder() + "/curLessonwords.htm"));
    EXPECT_TRUE(QFile::exists(w.folder() + "/homepage.htm"));
}

// A mouse event of the left button at `x` across the middle of the view.
void mouseAt(QWidget* view, QEvent::Type type, double x)
{
    const QPointF at(x, view->height() / 2.0);
    QMouseEvent event(type, at, view->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

TEST(RealWindow, TheBoundaryEditorOnAnOwnLessonDragsWritesSplitsAndUndoesAndASentenceOffersIt)
{
    CourseWindow w(makeOwnLessonWithWordTimes, Audio::Silent, "own");
    MainForm& f = w.start();
    ASSERT_TRUE(showOwnLesson(f));
    // Keys go where the window's focus is, as a keyboard's do.
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &f, Qt::Key_B, Qt::ControlModifier);
    auto* editor = f.findChild<QDialog*>("BoundaryEditor");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    auto* view = editor->findChild<WaveformView*>("vwWaveform");
    auto* times = editor->findChild<QLabel*>("lbBoundaryTimes");
    EXPECT_TRUE(times->text().startsWith("开始 0.35 秒，结束 3.61 秒")) << times->text().toStdString();
    // The wave is drawn once the recording's summary has come.
    ASSERT_TRUE(settleUntil([&] { return view->grab().toImage().pixelColor(int(view->xAt(1.5)), view->height() / 2 - 20) != Qt::white; }, 10000));

    // Dragged by the mouse, without snapping, 0.3 s later; then applied.
    editor->findChild<QCheckBox*>("ckBoundarySnap")->setChecked(false);
    mouseAt(view, QEvent::MouseButtonPress, view->xAt(3.61));
    for (double at = 3.65; at <= 3.91; at += 0.05)
        mouseAt(view, QEvent::MouseMove, view->xAt(at));
    mouseAt(view, QEvent::MouseMove, view->xAt(3.91));
    mouseAt(view, QEvent::MouseButtonRelease, view->xAt(3.91));
    EXPECT_TRUE(times->text().startsWith("开始 0.35 秒，结束 3.91 秒")) << times->text().toStdString();
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    EXPECT_NEAR(lessonTimes(w.folder() + "/own/我的课本", 0).starts.at(1), 3.91, 1e-9);
    EXPECT_NEAR(f.session().sentenceTimes().at(1), 3.91, 1e-9) << "the window plays the new range at once";
    EXPECT_NEAR(f.session().sentenceTimes().at(0), 0.35, 1e-9);
    // The first sentence's words are found again in its longer span, all six
    // of them now, and the editor says so.
    auto* notice = editor->findChild<QLabel*>("lbBoundaryNotice");
    ASSERT_TRUE(settleUntil([&] { return notice->text().contains("1 句的词已按新的边界重新对齐"); }, 20000))
        << notice->text().toStdString();
    QFile wordFile(w.folder() + "/own/我的课本/tlx1001.wordtimes.tsv");
    ASSERT_TRUE(wordFile.open(QIODevice::ReadOnly));
    const QList<WordTimes> words = wordTimesFrom(wordFile.readAll(), {"Excuse me, where is the station?", "Go straight on and turn left at the bank."});
    ASSERT_EQ(words.value(0).size(), 6);
    EXPECT_GE(words[0].first().start, 0.35);
    EXPECT_LE(words[0].last().end, 3.91);
    const double where = words[0][2].start;

    // Heard from the editor: the sentence as it now is.
    QTest::keyClick(editor, Qt::Key_Space);
    EXPECT_NEAR(w.player().selectionEnd(), 3.91, 1e-6);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(settleUntil([&] { return !editor->isVisible(); }, 2000));

    // A right-click on the second sentence offers its editor.
    w.clickElement("engs1", Qt::RightButton);
    QMenu* menu = nullptr;
    ASSERT_TRUE(settleUntil([&] { return (menu = f.findChild<QMenu*>("sentenceMenu")) != nullptr; }, 5000));
    ASSERT_EQ(menu->actions().size(), 1);
    menu->actions().first()->trigger();
    ASSERT_TRUE(settleUntil([&] { return editor->isVisible(); }, 2000));
    EXPECT_TRUE(editor->findChild<QLabel*>("lbBoundarySentence")->text().startsWith("第 2 句"));
    EXPECT_EQ(f.session().currentSentence(), 1);
    QTest::keyClick(editor, Qt::Key_Escape);

    // The first sentence split at the word the play head is set on, and
    // the split undone.
    f.session().SetCurSentence(0);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(settleUntil([&] { return editor->isVisible(); }, 2000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    mouseAt(view, QEvent::MouseButtonPress, view->xAt(where + 0.02));
    mouseAt(view, QEvent::MouseButtonRelease, view->xAt(where + 0.02));
    QTest::keyClick(editor, Qt::Key_K);
    ASSERT_TRUE(settleUntil([&] { return f.session().sentenceCount() == 3; }, 10000))
        << editor->findChild<QLabel*>("lbBoundaryNotice")->text().toStdString();
    const LessonTimes split = lessonTimes(w.folder() + "/own/我的课本", 0);
    ASSERT_EQ(split.starts.size(), 3u);
    EXPECT_NEAR(split.starts[1], where, 1e-9) << "the second half from its first word";
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(settleUntil([&] { return f.session().sentenceCount() == 2; }, 10000));
    EXPECT_EQ(lessonTimes(w.folder() + "/own/我的课本", 0).starts.size(), 2u);
    QTest::keyClick(editor, Qt::Key_Escape);
}

}  // namespace
