// The learner's own lessons in the window: a recording and its text imported
// through the dialog, a sentence's start moved with Alt+→, the lesson removed
// from the lesson list's menu; and Alt+→ in the shipped course.

#include "NamedControls.h"
#include "WindowHarness.h"

#include "shell/window/Catalogue.h"
#include "shell/import/ImportForm.h"
#include "shell/window/MainForm.h"
#include "study/StudySession.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char* const kSpoken[] = {"Good morning, Anna.", "The train leaves at nine.", "We will meet at the station."};

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// "talk.mp3" and "talk.txt" in `folder`: the sentences spoken by espeak-ng
// with a pause between them, and their text one per line.
void makeLessonFiles(const QString& folder)
{
    QStringList parts;
    for (const char* sentence : kSpoken) {
        const QString part = folder + QString("/part%1.wav").arg(parts.size());
        ASSERT_TRUE(run("espeak-ng", {"-v", "en-us", "-w", part, sentence}));
        parts << part << folder + "/pause.wav";
    }
    ASSERT_TRUE(run("sox", {"-n", "-r", "22050", "-c", "1", folder + "/pause.wav", "trim", "0", "0.8"}));
    ASSERT_TRUE(run("sox", parts + QStringList{folder + "/talk.wav"}));
    ASSERT_TRUE(run("lame", {"--quiet", folder + "/talk.wav", folder + "/talk.mp3"}));
    QFile text(folder + "/talk.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    for (const char* sentence : kSpoken)
        text.write(QByteArray(sentence) + "\n");
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Alt+→ where the learner's key goes: to the focused control, or the window.
void altRight(MainForm& f)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &f, Qt::Key_Right, Qt::AltModifier);
}

void importAndWait(ImportForm& dialog)
{
    dialog.btStart->click();
    QElapsedTimer clock;
    clock.start();
    while (dialog.running() && clock.elapsed() < 120000)
        WindowHarness::settle(50);
    ASSERT_FALSE(dialog.running());
}

QAction* menuEntry(MainForm& f, QMenu& menu, const QString& text)
{
    f.lessonMenu(menu, ui(f).lsLesson->currentRow());
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST(OwnLessonWindow, ImportMoveStartAndRemove)
{
    WindowHarness h(
        [](const QString& folder) {
            // The import reads its lesson back through the program folder's library.
            QFile::link(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so", folder + "/liblexbaydll.so");
        },
        "own");
    MainForm& f = h.load();
    const QString ownVolume = h.folder() + "/own/我的课本";

    // The shipped course: Alt+→ changes nothing there and says so; its
    // lessons offer no removal.
    const QString shippedTiming = h.folder() + "/books/" + ui(f).cbVolume->currentText() + "/tlx1001.lrc";
    const QByteArray shippedBytes = bytesOf(shippedTiming);
    const std::vector<double> shippedTimes = f.session().sentenceTimes();
    altRight(f);
    EXPECT_EQ(f.session().sentenceTimes(), shippedTimes);
    EXPECT_EQ(bytesOf(shippedTiming), shippedBytes);
    EXPECT_TRUE(ui(f).pnNotice->text().contains("不能")) << ui(f).pnNotice->text().toStdString();
    QMenu shippedMenu;
    EXPECT_EQ(menuEntry(f, shippedMenu, "删除本课"), nullptr);

    makeLessonFiles(h.folder());
    f.Toolbar1_ButtonClick("btImport");
    auto* dialog = f.findChild<ImportForm*>("ImportForm");
    ASSERT_NE(dialog, nullptr);
    dialog->txtAudio->setText(h.folder() + "/talk.mp3");
    dialog->txtText->setText(h.folder() + "/talk.txt");
    EXPECT_EQ(dialog->txtTitle->text(), "talk");
    // Refused at once: a path, and the name of a volume that comes with the
    // program, which the message names.
    const QString shippedName = ui(f).cbVolume->itemText(0);
    for (const QString& refused : {QString("a/b"), shippedName}) {
        dialog->cbImportVolume->setCurrentText(refused);
        EXPECT_TRUE(dialog->lbVolumeProblem->text().contains(refused)) << refused.toStdString();
        EXPECT_FALSE(dialog->btStart->isEnabled()) << refused.toStdString();
    }
    dialog->cbImportVolume->setCurrentText("我的课本");

    // A failed import says why and leaves no lesson behind.
    QFile(h.folder() + "/empty.txt").open(QIODevice::WriteOnly);
    dialog->txtText->setText(h.folder() + "/empty.txt");
    importAndWait(*dialog);
    EXPECT_TRUE(dialog->lbOutcome->text().startsWith("没有导入")) << dialog->lbOutcome->text().toStdString();
    EXPECT_FALSE(QFile::exists(ownVolume + "/lesson.txt"));
    EXPECT_NE(ui(f).cbVolume->currentText(), "我的课本");

    dialog->txtText->setText(h.folder() + "/talk.txt");
    importAndWait(*dialog);
    ASSERT_TRUE(dialog->lbOutcome->text().startsWith("已导入")) << dialog->lbOutcome->text().toStdString();

    // The new volume and lesson are chosen and loaded.
    EXPECT_EQ(ui(f).cbVolume->currentText(), "我的课本");
    ASSERT_EQ(ui(f).lsLesson->count(), 1);
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 0);
    EXPECT_EQ(f.session().lessonName().title, "talk");
    ASSERT_EQ(f.session().sentenceCount(), 3);

    // Alt+→ moves the current sentence's start 50 ms later in the timing
    // file and in the session, and plays the sentence from there.
    dialog->close();
    f.session().SetCurSentence(1);
    const double before = f.session().sentenceTimes().at(1);
    altRight(f);
    const double after = f.session().sentenceTimes().at(1);
    EXPECT_NEAR(after - before, 0.05, 0.006);
    const QList<QByteArray> timing = bytesOf(ownVolume + "/tlx1001.lrc").split('\n');
    ASSERT_GE(timing.size(), 2);
    EXPECT_TRUE(timing.at(1).startsWith(QString("[00:%1]").arg(after, 5, 'f', 2, '0').toLatin1()))
        << timing.at(1).toStdString();
    EXPECT_TRUE(h.player().log.contains(QString("start %1").arg(after, 0, 'f', 2)))
        << h.player().log.join(", ").toStdString();

    // 删除本课, confirmed: the lesson and its files are gone.
    h.boxes().answers.push_back(true);
    QMenu ownMenu;
    QAction* remove = menuEntry(f, ownMenu, "删除本课");
    ASSERT_NE(remove, nullptr);
    // The exports come first, the entry that deletes last.
    EXPECT_TRUE(ownMenu.actions().first()->text().contains("Anki"));
    EXPECT_EQ(ownMenu.actions().last(), remove);
    remove->trigger();
    EXPECT_EQ(ui(f).lsLesson->count(), 0);
    EXPECT_FALSE(QFile::exists(ownVolume + "/tlx1001.mp3"));
    EXPECT_FALSE(QFile::exists(ownVolume + "/tlx1001.lrc"));
}

}  // namespace
