// The main window closed while the import dialog converts a recording to
// MP3: the conversion is cancelled, the window is gone within a second, and
// the volume is as it was.

#include "WindowHarness.h"

#include "shell/import/ImportForm.h"
#include "shell/window/MainForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ImportClosing, ClosingTheWindowDuringTheConversionCancelsItAndKeepsTheVolume)
{
    // The learner's books outlive the window's own folder, so that they can
    // be looked at after the window is gone.
    QTemporaryDir kept;
    const QString books = kept.filePath("books");
    const QString volume = books + "/我的课本";
    ASSERT_TRUE(QDir().mkpath(volume));  // the volume exists, empty
    // Twenty minutes of sound that takes long to encode and little to store.
    const QString recording = kept.filePath("long.flac");
    ASSERT_EQ(QProcess::execute("sox", {"-n", "-r", "48000", "-c", "2", recording, "trim", "0", "1200"}), 0);
    QFile text(kept.filePath("long.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("A long talk.\n");
    text.close();

    auto harness = std::make_unique<WindowHarness>(
        [&](const QString& folder) {
            QFile::link(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so", folder + "/liblexbaydll.so");
            QFile::link(books, folder + "/own");
        },
        "own");
    MainForm& f = harness->load();
    f.Toolbar1_ButtonClick("btImport");
    auto* dialog = f.findChild<ImportForm*>("ImportForm");
    ASSERT_NE(dialog, nullptr);
    dialog->txtAudio->setText(recording);
    dialog->txtText->setText(text.fileName());
    dialog->cbImportVolume->setCurrentText("我的课本");
    dialog->btStart->click();

    // The conversion has begun writing and is not done.
    QElapsedTimer waiting;
    waiting.start();
    while (QDir(volume).isEmpty(QDir::Files | QDir::Hidden) && waiting.elapsed() < 30000)
        WindowHarness::settle(20);
    ASSERT_FALSE(QDir(volume).isEmpty(QDir::Files | QDir::Hidden));
    ASSERT_TRUE(dialog->running());
    ASSERT_EQ(dialog->pbImport->value(), 0);

    QElapsedTimer closing;
    closing.start();
    f.close();
    harness.reset();
    EXPECT_LT(closing.elapsed(), 1000);
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    EXPECT_EQ(QDir(books).entryList(all), QStringList{"我的课本"});
    EXPECT_TRUE(QDir(volume).isEmpty(all)) << QDir(volume).entryList(all).join(", ").toStdString();
}

}  // namespace
