// lexbay --import run as a script runs it, with no display: the lessons it
// adds read back as the course reads any lesson, the corrections and the
// removal of a lesson, and every bad input refused with its message and the
// books folder left exactly as it was.

#include "MadeRecordings.h"

#include "course/VideoReference.h"
#include "ownlessons/OwnVolume.h"
#include "platform/analysis/AudioDecoding.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class ImportCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        inputs_ = new QTemporaryDir;
        const QString in = inputs_->path();
        recording_ = new MadeRecording(makeRecording(
            in, "talk",
            {{"Where is the station?", "en-gb", 160, 0.8}, {"Go straight on and turn left.", "en+m3", 170, 0.9}},
            0));
        // Variable rate, as downloads often are: a header frame comes first.
        runTool("lame", {"--quiet", "-V", "4", recording_->path, in + "/talk.mp3"});
        runTool("sox", {"-n", "-r", "22050", "-c", "1", in + "/silence.wav", "trim", "0", "3"});
        write("text.txt", "Where is the station?\n车站在哪儿？\nGo straight on and turn left.\n");
        write("long.txt", QByteArray("Where is the station? Go straight on and turn left. ")
                              .repeated(1) + QByteArray("The weather report says rain will fall all week. ").repeated(12));
        write("empty.txt", "\n \n");
        write("cues.srt", "1\n00:00:00,100 --> 00:00:01,500\nWhere is the station?\n\n2\n00:00:02,000 --> "
                          "00:00:03,000\nGo straight on and turn left.\n");
        write("late.srt", "1\n00:00:00,100 --> 00:00:01,500\nWhere is it?\n\n2\n00:09:00,000 --> 00:09:01,000\nThere.\n");
        write("bad.srt", "1\n00:00:03,000 --> 00:00:01,000\nWhere?\n");
        write("not-audio.wav", "this is no sound at all");
        write("not-video.mp4", "this is no film at all");
        write("cues.vtt", "WEBVTT\n\n00:00.100 --> 00:01.500\nWhere is the station?\n\n"
                          "00:02.000 --> 00:09.000\nGo straight on and turn left.\n");  // ends after the sound: kept
        write("cues.lrc", "[ti:talk]\n[00:00.10]Where is the station?\n[00:02.00]Go straight on and turn left.\n");
        // Events out of time order, overrides, a hard space and a bilingual cue.
        write("cues.ass", "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\nFormat: Name, Fontname\nStyle: Default,Arial\n\n"
                          "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                          "Dialogue: 0,0:00:02.00,0:00:03.00,Default,,0,0,0,,Go straight on,{\\i1}\\hand turn left.{\\i0}\\N直走，再左转。\n"
                          "Comment: 0,0:00:00.00,0:00:01.00,Default,,0,0,0,,not a line\n"
                          "Dialogue: 0,0:00:00.10,0:00:01.50,Default,,0,0,0,,{\\pos(10,10)}Where is the station?\n");
        write("cues.ssa", "[Script Info]\nScriptType: v4.00\n\n[Events]\n"
                          "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                          "Dialogue: Marked=0,0:00:00.10,0:00:01.50,Default,,0000,0000,0000,,Where is the station?\n"
                          "Dialogue: Marked=0,0:00:02.00,0:00:03.00,Default,,0000,0000,0000,,Go straight on and turn left.\n");
        // A short cue across both sentences, and each sentence's own.
        write("zh.srt", "1\n00:00:00,000 --> 00:00:01,300\n车站在哪儿？\n\n2\n00:00:01,400 --> 00:00:02,200\n嗯。\n\n"
                        "3\n00:00:02,300 --> 00:00:03,000\n直走，再左转。\n");
        write("zh-late.srt", "1\n00:09:00,000 --> 00:09:01,000\n晚了。\n");
        write("empty.srt", "\n\n");
        write("prose.srt", "Where is the station? Go straight on and turn left.\n");
        write("track-en.srt", "1\n00:00:00,100 --> 00:00:01,500\nWhere is the <i>station</i>?\n\n2\n"
                              "00:00:02,000 --> 00:00:03,000\nGo straight on and turn left.\n");
        write("track-zh.srt", "1\n00:00:00,100 --> 00:00:01,500\n车站在哪儿？\n");
        // mp4mux starts a text track at its first cue: a blank cue at 0, which
        // subparse passes on as a gap, keeps the English cues at their times.
        write("track-en-from-0.srt", "1\n00:00:00,000 --> 00:00:00,100\n \n\n2\n00:00:00,100 --> 00:00:01,500\n"
                                     "Where is the <i>station</i>?\n\n3\n00:00:02,000 --> 00:00:03,000\n"
                                     "Go straight on and turn left.\n");
        const QString wav = recording_->path;
        const QString picture = "videotestsrc num-buffers=40 ! video/x-raw,width=64,height=48,framerate=10/1 ! "
                                "x264enc key-int-max=10 ! h264parse ! mux. ";
        const QString sound = QString("filesrc location=%1 ! wavparse ! audioconvert ! audioresample ! ").arg(wav);
        makeVideo(picture + sound + "avenc_aac ! aacparse ! mux. mp4mux name=mux ! filesink location=" + in + "/talk.mp4");
        makeVideo(picture + "mp4mux name=mux ! filesink location=" + in + "/mute.mp4");
        makeVideo(picture + sound + "avenc_aac ! aacparse ! mux. mp4mux name=mux ! filesink location=" + in +
                  "/talk-text.mp4 filesrc location=" + in + "/track-en-from-0.srt ! subparse ! "
                  "taginject tags=language-code=eng ! mux.subtitle_0");
        makeVideo("videotestsrc num-buffers=40 ! video/x-raw,width=64,height=48,framerate=10/1 ! vp8enc ! mux. " + sound
                  + "vorbisenc ! mux. webmmux name=mux ! filesink location=" + in + "/talk.webm");
        // A Chinese text track before the English one.
        makeVideo(picture + sound + "vorbisenc ! mux. matroskamux name=mux ! filesink location=" + in + "/talk.mkv "
                  "filesrc location=" + in + "/track-zh.srt ! subparse ! taginject tags=language-code=chi ! mux. "
                  "filesrc location=" + in + "/track-en.srt ! subparse ! taginject tags=language-code=eng ! mux.");
        QDir().mkpath(in + "/我的 影片");
        QFile::copy(in + "/talk.mp4", in + "/我的 影片/问路 1.mp4");
        write("words.txt", "station\n/ˈsteɪʃn/\n车站\nleft\n/left/\n左\n");
    }
    static void TearDownTestSuite()
    {
        delete recording_;
        delete inputs_;
    }

    static void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(inputs_->filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QString input(const QString& name) { return inputs_->filePath(name); }
    static void makeVideo(const QString& pipeline)
    {
        runTool("gst-launch-1.0", QStringList{"-q"} + pipeline.split(' ', Qt::SkipEmptyParts));
    }

    QString books() const { return data_.path() + "/Lexbay/books"; }

    CommandRun import(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        environment.insert("XDG_DATA_HOME", data_.path());
        process.setProcessEnvironment(environment);
        process.start(LEXBAY_PROGRAM, QStringList{"--import"} + arguments);
        process.waitForFinished(180000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Every file under the books folder with its content's hash.
    std::string snapshot() const
    {
        QStringList files;
        QDirIterator it(books(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            const QByteArray bytes = it.fileInfo().isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "folder";
            files << path + " " + QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
        }
        files.sort();
        return files.join('\n').toStdString();
    }

    QString volume(const QString& name) const { return books() + "/" + name; }

    static QTemporaryDir* inputs_;
    static MadeRecording* recording_;
    QTemporaryDir data_;
};

QTemporaryDir* ImportCommandTest::inputs_ = nullptr;
MadeRecording* ImportCommandTest::recording_ = nullptr;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST_F(ImportCommandTest, LessonsReadBackAsTheCourseReadsThem)
{
    const CommandRun mp3 = import({"--volume", "我的第2册", "--title", "问路", input("talk.mp3"), input("text.txt")});
    ASSERT_EQ(mp3.exitCode, 0) << mp3.err.toStdString();
    const QString folder = volume("我的第2册");
    EXPECT_TRUE(mp3.out.contains(folder + "/tlx2001.mp3")) << mp3.out.toStdString();
    EXPECT_EQ(bytesOf(folder + "/tlx2001.mp3"), bytesOf(input("talk.mp3")));
    EXPECT_TRUE(mp3.err.contains("%")) << "progress on standard error";
    EXPECT_FALSE(mp3.err.contains("CRITICAL")) << mp3.err.toStdString();

    const CommandRun srt = import({"--volume", "我的第2册", "--words", input("words.txt"), recording_->path, input("cues.srt")});
    ASSERT_EQ(srt.exitCode, 0) << srt.err.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/tlx2002.mp3"));

    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const QStringList titles = library.dllFillLsLesson(folder + "/lesson.txt");
    EXPECT_EQ(titles, (QStringList{"问路\r\n", "talk\r\n"}));
    QTemporaryDir pages;
    EXPECT_EQ(library.dllMakeHtml(QString(LEXBAY_APP_DIR) + "/htmlhead.txt", folder + "/lesson.txt",
                                  pages.filePath("page.htm"), 0, -1),
              2);
    const QString page = decodeCourseText(bytesOf(pages.filePath("page.htm")));
    EXPECT_TRUE(page.contains(" Where is the station?")) << "the label is not shown";
    EXPECT_TRUE(page.contains("车站在哪儿？"));
    library.dllMakeHtmlWords(QString(LEXBAY_APP_DIR) + "/htmlheadwords.txt", folder + "/words.txt",
                             pages.filePath("words.htm"), 1);
    EXPECT_TRUE(decodeCourseText(bytesOf(pages.filePath("words.htm"))).contains("车站"));
    double times[4] = {};
    ASSERT_EQ(library.dllReadAllTimeInfo(folder + "/tlx2002.lrc", times, 4), 2);
    EXPECT_DOUBLE_EQ(times[0], 0.1);
    EXPECT_DOUBLE_EQ(times[1], 2.0);

    // A start moved later stays short of the next sentence, and is kept.
    QString error;
    EXPECT_DOUBLE_EQ(moveSentenceStart(folder, 1, 0, 0.05, 3.5, &error), 0.15);
    EXPECT_DOUBLE_EQ(moveSentenceStart(folder, 1, 0, 5.0, 3.5, &error), 1.99);
    library.dllReadAllTimeInfo(folder + "/tlx2002.lrc", times, 4);
    EXPECT_DOUBLE_EQ(times[0], 1.99);

    // Removing the first lesson: the second one's files take its names.
    const QByteArray secondTiming = bytesOf(folder + "/tlx2002.lrc");
    EXPECT_EQ(removeLesson(folder, 0), QString());
    EXPECT_EQ(library.dllFillLsLesson(folder + "/lesson.txt"), QStringList{"talk\r\n"});
    EXPECT_EQ(bytesOf(folder + "/tlx2001.lrc"), secondTiming);
    EXPECT_FALSE(QFile::exists(folder + "/tlx2002.mp3"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 4) << "no file left behind";
}

struct BadInput {
    const char* name;
    QStringList arguments;  // names of inputs are resolved in the inputs folder
    const char* message;
};

TEST_F(ImportCommandTest, BadInputIsRefusedAndChangesNothing)
{
    ASSERT_EQ(import({"--volume", "旧册", input("talk.mp3"), input("text.txt")}).exitCode, 0);
    const QList<BadInput> cases = {
        {"separator", {"--volume", "a/b", "talk.mp3", "text.txt"}, "路径分隔符"},
        {"dot_dot", {"--volume", "..", "talk.mp3", "text.txt"}, "“..”"},
        {"empty_name", {"--volume", "", "talk.mp3", "text.txt"}, "册名不能为空"},
        {"dotted_name", {"--volume", ".hidden", "talk.mp3", "text.txt"}, "课本列表不会列出"},
        {"not_audio", {"--volume", "旧册", "not-audio.wav", "text.txt"}, "无法读取"},
        {"no_speech", {"--volume", "旧册", "silence.wav", "text.txt"}, "没有听到说话声"},
        {"empty_text", {"--volume", "旧册", "talk.mp3", "empty.txt"}, "没有英文句子"},
        {"text_far_longer", {"--volume", "旧册", "talk.mp3", "long.txt"}, "只找到约"},
        {"bad_cue_times", {"--volume", "旧册", "talk.mp3", "bad.srt"}, "第 1 条的时间有误"},
        {"cue_after_the_end", {"--volume", "新册", "talk.mp3", "late.srt"}, "录音只有"},
        {"video_without_sound", {"--volume", "旧册", "mute.mp4", "cues.srt"}, "mute.mp4”里没有声音"},
        {"not_media", {"--volume", "旧册", "not-video.mp4", "cues.srt"}, "不是能播放的音频或视频文件"},
        {"empty_subtitles", {"--volume", "旧册", "talk.mp4", "empty.srt"}, "empty.srt”：字幕文件是空的"},
        {"subtitles_in_another_format", {"--volume", "旧册", "talk.mp4", "prose.srt"}, "一条 SRT 字幕也没有"},
        {"no_english_track", {"--volume", "旧册", "talk.webm"}, "talk.webm”里没有英文文字轨（没有文字轨）"},
        {"text_needed_for_a_sound_file", {"--volume", "旧册", "talk.mp3"}, "没有给出课文或字幕文件"},
        {"translation_overlapping_nothing", {"--volume", "旧册", "talk.mp4", "cues.srt", "--translation", "zh-late.srt"},
         "没有一条中文字幕与英文句子的时间重叠"},
        {"translation_not_subtitles", {"--volume", "旧册", "talk.mp4", "cues.srt", "--translation", "text.txt"},
         "不是字幕文件"},
        {"missing_text", {"--volume", "旧册", "talk.mp3", "nothing.txt"}, "无法读取文件"},
        {"volume_not_a_folder", {"--volume", "是文件", "talk.mp3", "text.txt"}, "无法写入文件夹"},
        {"shipped_volume_name", {"--volume", "Trellis英语第1册", "talk.mp3", "text.txt"}, "“Trellis英语第1册”是 Lexbay 自带"},
    };
    QFile notAFolder(volume("是文件"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const std::string before = snapshot();
    for (const BadInput& c : cases) {
        QStringList arguments;
        for (const QString& a : c.arguments)
            arguments << (a.contains('.') && !a.startsWith('.') ? input(a) : a);
        const CommandRun run = import(arguments);
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.err.contains(c.message)) << c.name << ": " << run.err.toStdString();
        EXPECT_EQ(snapshot(), before) << c.name;
    }
    // A volume the learner cannot write to (root writes anyway).
    if (geteuid() != 0) {
        QFile::setPermissions(volume("旧册"), QFile::ReadOwner | QFile::ExeOwner);
        const CommandRun readOnly = import({"--volume", "旧册", input("talk.mp3"), input("text.txt")});
        QFile::setPermissions(volume("旧册"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_TRUE(readOnly.err.contains("只读")) << readOnly.err.toStdString();
        EXPECT_EQ(snapshot(), before);
    }
}

// What one import made: each sentence as "start english|chinese", the
// video its reference names ("" without one), and the MP3's length.
struct VideoImport {
    const char* name;
    QStringList arguments;  // after --volume; names of inputs resolved in the inputs folder
    QStringList sentences;
    const char* video;      // relative to the inputs folder, or to the volume folder with "volume:"
};

TEST_F(ImportCommandTest, VideosAndSubtitlesBecomeLessons)
{
    const QStringList plain = {"00.10 Where is the station?|", "02.00 Go straight on and turn left.|"};
    const QStringList translated = {"00.10 Where is the station?|车站在哪儿？", "02.00 Go straight on and turn left.|直走，再左转。"};
    const QList<VideoImport> cases = {
        {"mp4_with_srt", {"talk.mp4", "cues.srt"}, plain, "talk.mp4"},
        {"mp4_with_vtt", {"talk.mp4", "cues.vtt"}, plain, "talk.mp4"},
        {"mp4_with_lrc", {"talk.mp4", "cues.lrc"}, plain, "talk.mp4"},
        {"ass_sorted_and_bilingual", {"talk.mp4", "cues.ass"},
         {"00.10 Where is the station?|", "02.00 Go straight on, and turn left.|直走，再左转。"}, "talk.mp4"},
        {"ssa", {"talk.webm", "cues.ssa"}, plain, "talk.webm"},
        {"mkv_english_text_track", {"talk.mkv"}, plain, "talk.mkv"},
        {"mp4_english_text_track", {"talk-text.mp4"}, plain, "talk-text.mp4"},
        {"translation_by_longest_overlap", {"talk.mp4", "cues.srt", "--translation", "zh.srt"}, translated, "talk.mp4"},
        {"copied_in", {"--copy-video", "talk.mkv", "cues.srt"}, plain, "volume:tlx1001.mkv"},
        {"path_with_spaces_and_chinese", {"我的 影片/问路 1.mp4", "cues.srt"}, plain, "我的 影片/问路 1.mp4"},
        {"sound_file_has_no_reference", {"talk.wav", "cues.srt"}, plain, ""},
    };
    const double recorded = decodeAudio(recording_->path).seconds();
    for (const VideoImport& c : cases) {
        SCOPED_TRACE(c.name);
        // The digit makes the lesson files tlx1…
        QStringList arguments{"--volume", QString("1 ") + c.name};
        for (const QString& a : c.arguments)
            arguments << (a.startsWith("--") ? a : input(a));
        const CommandRun run = import(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString folder = volume(QString("1 ") + c.name);
        QStringList got;
        const QList<QByteArray> timing = bytesOf(folder + "/tlx1001.lrc").split('\n');
        const QList<QByteArray> lines = bytesOf(folder + "/lesson.txt").split('\n');
        for (int k = 0; k + 2 < lines.size() && k < timing.size(); k += 2) {
            const QString english = decodeCourseText(lines.at(k + 1)).trimmed().section(". ", 1);
            got << timing.at(k / 2).mid(4, 5) + " " + english + "|" + decodeCourseText(lines.at(k + 2)).trimmed();
        }
        EXPECT_EQ(got.join('\n').toStdString(), c.sentences.join('\n').toStdString());
        const QString video = QString(c.video).startsWith("volume:") ? folder + "/" + QString(c.video).mid(7)
                              : QString(c.video).isEmpty()           ? QString()
                                                                     : input(c.video);
        EXPECT_EQ(videoOfReference(bytesOf(folder + "/tlx1001.video.txt"), folder).toStdString(), video.toStdString());
        EXPECT_NEAR(decodeAudio(folder + "/tlx1001.mp3").seconds(), recorded, 0.06) << "the sound track, whole";
    }
}

// Subtitles that run late: --align puts each sentence back in the pause
// before its speech, or names it as unsure (and keeps the mark beside the
// lesson) and keeps its cue's time.
TEST_F(ImportCommandTest, AlignRetimesLateCues)
{
    const double late = 0.4;
    QByteArray srt;
    const QStringList said = {"Where is the station?", "Go straight on and turn left."};
    for (int k = 0; k < said.size(); ++k) {
        const double from = recording_->speechStart[size_t(k)] + late;
        const auto clock = [](double s) { return QString("00:00:%1").arg(s, 6, 'f', 3, QChar('0')).replace('.', ','); };
        srt += QString("%1\n%2 --> %3\n%4\n\n").arg(k + 1).arg(clock(from), clock(from + 1.0), said.at(k)).toUtf8();
    }
    write("late-cues.srt", srt);
    const CommandRun run = import({"--volume", "对齐", "--align", recording_->path, input("late-cues.srt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> timing = bytesOf(volume("对齐") + "/tlx1001.lrc").split('\n');
    const std::vector<bool> marked = unsureFrom(bytesOf(volume("对齐") + "/tlx1001.unsure.txt"), int(said.size()));
    int retimed = 0;
    for (int k = 0; k < said.size(); ++k) {
        const double start = timing.value(k).mid(4, 5).toDouble();
        const double speech = recording_->speechStart[size_t(k)];
        const bool named = run.err.contains(QString("第 %1 句的时间可能不准").arg(k + 1));
        EXPECT_EQ(marked[size_t(k)], named) << "sentence " << k + 1;
        if (named) {
            EXPECT_NEAR(start, speech + late, 0.006) << "sentence " << k + 1 << " keeps its cue";
            continue;
        }
        EXPECT_GE(start, speech - 0.55) << "sentence " << k + 1;
        EXPECT_LE(start, speech + 0.02) << "sentence " << k + 1;
        ++retimed;
    }
    EXPECT_GE(retimed, 1) << run.err.toStdString();
}

}  // namespace
