// The import dialog with a video as the recording: its text tracks listed
// (the English one chosen), the translation and copy rows shown only for a
// video, and a lesson imported from a track with the video copied in.

#include "WindowHarness.h"

#include "shell/import/ImportForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool gstLaunch(const QString& pipeline)
{
    QProcess process;
    process.start("gst-launch-1.0", QStringList{"-q"} + pipeline.split(' ', Qt::SkipEmptyParts));
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(ImportVideoDialog, OffersTheVideosTracksAndCopiesItIn)
{
    QTemporaryDir dir;
    const QString in = dir.path();
    ASSERT_TRUE(QProcess::execute("espeak-ng", {"-w", in + "/talk.wav", "Where is the station? Turn left."}) == 0);
    write(in + "/en.srt", "1\n00:00:00,100 --> 00:00:01,000\nWhere is the station?\n\n2\n00:00:01,200 --> 00:00:02,000\nTurn left.\n");
    write(in + "/zh.srt", "1\n00:00:00,100 --> 00:00:01,000\n车站在哪儿？\n");
    ASSERT_TRUE(gstLaunch("videotestsrc num-buffers=20 ! video/x-raw,width=64,height=48,framerate=10/1 ! x264enc ! "
                          "h264parse ! mux. filesrc location=" + in + "/talk.wav ! wavparse ! audioconvert ! vorbisenc ! "
                          "mux. matroskamux name=mux ! filesink location=" + in + "/talk.mkv filesrc location=" + in
                          + "/zh.srt ! subparse ! taginject tags=language-code=chi ! mux. filesrc location=" + in
                          + "/en.srt ! subparse ! taginject tags=language-code=eng ! mux."));
    ASSERT_TRUE(QProcess::execute("lame", {"--quiet", in + "/talk.wav", in + "/talk.mp3"}) == 0);

    ImportForm dialog(in + "/books", in + "/shipped", LEXBAY_APP_DIR, "我的视频");
    dialog.txtAudio->setText(in + "/talk.mp3");
    EXPECT_TRUE(dialog.cbTextTrack->isHidden());
    EXPECT_TRUE(dialog.chkCopyVideo->isHidden());
    EXPECT_TRUE(dialog.txtTranslation->parentWidget()->isHidden());

    dialog.txtAudio->setText(in + "/talk.mkv");
    EXPECT_FALSE(dialog.chkCopyVideo->isHidden());
    EXPECT_FALSE(dialog.chkCopyVideo->isChecked()) << "off unless the learner asks";
    EXPECT_FALSE(dialog.txtTranslation->parentWidget()->isHidden());
    ASSERT_EQ(dialog.cbTextTrack->count(), 3);
    // The container's tags, as GStreamer gives them (two letters where there are).
    EXPECT_TRUE(dialog.cbTextTrack->itemText(1).contains("zh")) << dialog.cbTextTrack->itemText(1).toStdString();
    EXPECT_EQ(dialog.cbTextTrack->currentIndex(), 2) << dialog.cbTextTrack->currentText().toStdString();

    // A subtitle file chosen after the track takes its place; cleared, the track is chosen again.
    dialog.txtText->setText(in + "/en.srt");
    EXPECT_EQ(dialog.cbTextTrack->currentIndex(), 0);
    dialog.txtText->clear();
    dialog.cbTextTrack->setCurrentIndex(2);
    dialog.cbImportVolume->setCurrentText("我的视频");
    dialog.chkCopyVideo->setChecked(true);
    dialog.btStart->click();
    QElapsedTimer clock;
    clock.start();
    while (dialog.running() && clock.elapsed() < 60000)
        WindowHarness::settle(50);
    ASSERT_TRUE(dialog.lbOutcome->text().startsWith("已导入")) << dialog.lbOutcome->text().toStdString();
    const QString volume = in + "/books/我的视频";
    EXPECT_TRUE(QFile::exists(volume + "/tlx1001.mkv"));
    EXPECT_TRUE(QFile::exists(volume + "/tlx1001.video.txt"));
    QFile timing(volume + "/tlx1001.lrc");
    ASSERT_TRUE(timing.open(QIODevice::ReadOnly));
    EXPECT_EQ(timing.readAll().count('\n'), 2) << "one line per cue of the English track";
}

}  // namespace
