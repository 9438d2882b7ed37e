// 「导出到 Anki」 from the window on stand-ins, with the real clip encoding of
// the staged sample course: the lesson list's menu and the record window's
// hard sentences, each package read back as Anki's importer reads it, the
// padding kept in the settings only once the learner changes it, and an own
// video lesson's notes with their pictures.

#include "AnkiPackageReader.h"
#include "ColourVideo.h"
#include "WavFiles.h"
#include "ReviewedSentences.h"
#include "WindowHarness.h"

#include "shell/ankiexport/AnkiExportForm.h"
#include "study/DictationText.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QSettings>
#include <QStringEncoder>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Note {
    QString english, lesson;
    int number;
};

// The notes of a package as (English, Lesson, Sentence number), in lesson order.
std::vector<Note> notesOf(const QString& package)
{
    AnkiPackageReader reader(package);
    EXPECT_EQ(reader.error, "");
    std::vector<Note> notes;
    QSqlQuery query("SELECT flds FROM notes", reader.collection());
    while (query.next()) {
        const QStringList fields = query.value(0).toString().split(QChar(0x1F));
        notes.push_back({fields.value(0), fields.value(3), fields.value(4).toInt()});
    }
    std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.number < b.number; });
    return notes;
}

// Answers the export dialog with `file` and `paddingMs`; `proposed` gets what
// the dialog would have proposed.
void answerExport(MainForm& f, const QString& file, int paddingMs, AnkiExportChoice* proposed)
{
    f.findChild<AnkiExports*>("ankiExports")->ask = [=](const QString&, AnkiExportChoice& choice) {
        *proposed = choice;
        choice = {file, paddingMs};
        return true;
    };
}

// Opens the lesson list's menu over `row` and takes its entry `entry`.
void chooseFromLessonMenu(MainForm& f, int row, const char* entry)
{
    QTimer::singleShot(0, [entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QAction* action = menu ? menu->findChild<QAction*>(entry) : nullptr;
        if (menu)
            menu->close();
        if (action)
            action->trigger();
    });
    QListWidget* list = ui(f).lsLesson;
    emit list->customContextMenuRequested(list->visualItemRect(list->item(row)).center());
}

QString exportMessage(WindowHarness& h)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return !h.boxes().shown.isEmpty(); }, 120000));
    return h.boxes().shown.value(0);
}

QString shownEnglish(MainForm& f, int n) { return plainText(f.session().englishElement(n)).trimmed(); }

QVariant storedPadding(WindowHarness& h)
{
    h.form().Form_Unload();
    return QSettings(h.settingsFile(), QSettings::IniFormat).value("Options/AnkiPadding");
}

TEST(AnkiWindowExport, TheLessonMenuExportsTheLessonsSentencesAndKeepsTheDefaultPaddingUnwritten)
{
    WindowHarness h;
    MainForm& f = h.load();
    const QString package = h.folder() + "/lesson.apkg";
    AnkiExportChoice proposed;
    answerExport(f, package, kDefaultPaddingMs, &proposed);
    chooseFromLessonMenu(f, 0, "exportLessonToAnki");
    const QString message = exportMessage(h);

    const QString title = ui(f).lsLesson->item(0)->text();
    EXPECT_EQ(QFileInfo(proposed.file).fileName(), ui(f).cbVolume->currentText() + " " + title + ".apkg");
    EXPECT_EQ(proposed.paddingMs, kDefaultPaddingMs);
    const std::vector<Note> notes = notesOf(package);
    ASSERT_EQ(int(notes.size()), f.session().sentenceCount());
    for (int n = 0; n < int(notes.size()); ++n) {
        EXPECT_EQ(notes[n].english, shownEnglish(f, n));
        EXPECT_EQ(notes[n].lesson, title);
        EXPECT_EQ(notes[n].number, n + 1);
    }
    EXPECT_TRUE(message.contains(QString::number(notes.size())) && message.contains(package)) << message.toStdString();
    EXPECT_FALSE(storedPadding(h).isValid());
}

// Opens the record window, presses its export button `button` and answers the
// dialog with `package` and `paddingMs`; returns what the dialog proposed.
AnkiExportChoice exportFromRecordWindow(MainForm& f, WindowHarness& h, const char* button, const QString& package,
                                        int paddingMs)
{
    f.Toolbar1_ButtonClick("btStudyRecord");
    AnkiExportChoice proposed;
    answerExport(f, package, paddingMs, &proposed);
    f.findChild<QPushButton*>(button)->click();
    exportMessage(h);
    return proposed;
}

TEST(AnkiWindowExport, TheRecordWindowExportsTheHardSentencesAndKeepsAChangedPadding)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    for (const int sentence : {2, 5}) {
        while (f.session().currentSentence() < sentence)
            ui(f).btSpellNext->click();
        for (int wrong = 0; wrong < 2; ++wrong) {
            ui(f).teSpell->setText("wrong");
            QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
        }
    }
    const QString package = h.folder() + "/hard.apkg";
    exportFromRecordWindow(f, h, "exportHardToAnki", package, 300);

    const std::vector<Note> notes = notesOf(package);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].number, 3);
    EXPECT_EQ(notes[1].number, 6);
    EXPECT_EQ(notes[1].english, shownEnglish(f, 5));
    EXPECT_EQ(storedPadding(h).toString(), "300");
}

TEST(AnkiWindowExport, TheRecordWindowExportsTheSentencesDueToday)
{
    QList<ExportSentence> due;
    WindowHarness h([&](const QString& folder) { due = reviewedLongAgo(folder); });
    MainForm& f = h.load();
    const QString package = h.folder() + "/due.apkg";
    const AnkiExportChoice proposed = exportFromRecordWindow(f, h, "exportDueToAnki", package, 150);

    EXPECT_TRUE(proposed.file.contains("Lexbay 复习")) << proposed.file.toStdString();
    const std::vector<Note> notes = notesOf(package);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].english, due[0].english);
    EXPECT_EQ(notes[1].english, due[1].english);
}

// The lesson menu's export of an own video lesson: the notes in the video
// note type with their pictures, or, with the video moved away, audio notes
// and the export's message naming the video.
TEST(AnkiWindowExport, AnOwnVideoLessonsNotesCarryTheirPicturesOrSayTheVideoIsMissing)
{
    const QString volume = "Trellis英语第3册";
    for (const bool there : {true, false}) {
        SCOPED_TRACE(there ? "video there" : "video moved away");
        QString video;
        WindowHarness h(
            [&](const QString& folder) {
                const QString own = folder + "/own/" + volume;
                QDir().mkpath(own);
                const QString lessons = "$Lesson 1 Video\r\n1. Red.\r\n红。\r\n2. Green.\r\n绿。\r\n";
                writeFile(own + "/lesson.txt", QStringEncoder("GB18030").encode(lessons));
                writeFile(own + "/tlx3001.lrc", "[00:00.20]1\r\n[00:01.00]2\r\n");
                QFile::copy(folder + "/books/Trellis英语第1册/tlx1001.mp3", own + "/tlx3001.mp3");
                video = folder + "/videos/colours.mp4";
                if (there)
                    makeColourVideo(video, 320, 240);
                writeFile(own + "/tlx3001.video.txt", video.toUtf8());
            },
            "own");
        MainForm& f = h.load();
        ui(f).cbVolume->setCurrentIndex(ui(f).cbVolume->findText(volume));
        ASSERT_EQ(ui(f).cbVolume->currentText(), volume);
        const QString package = h.folder() + "/video.apkg";
        AnkiExportChoice proposed;
        answerExport(f, package, kDefaultPaddingMs, &proposed);
        chooseFromLessonMenu(f, 0, "exportLessonToAnki");
        const QString message = exportMessage(h);
        EXPECT_EQ(message.contains(video), !there) << message.toStdString();

        AnkiPackageReader reader(package);
        ASSERT_EQ(reader.error, "");
        QSqlQuery notes("SELECT flds FROM notes ORDER BY id", reader.collection());
        int count = 0;
        for (; notes.next(); ++count) {
            const QStringList fields = notes.value(0).toString().split(QChar(0x1F));
            ASSERT_EQ(fields.size(), there ? 6 : 5);
            if (there) {
                EXPECT_TRUE(fields[5].startsWith("<img src=")) << fields[5].toStdString();
            }
        }
        EXPECT_EQ(count, 2);
        // Two clips, and a picture for each note of the video lesson.
        EXPECT_EQ(QJsonDocument::fromJson(reader.entries.value("media")).object().size(), there ? 4 : 2);
    }
}

}  // namespace
