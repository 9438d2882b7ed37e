// lexbay --import run as a script runs it, with no display: the lessons it
// adds read back as the course reads any lesson, the corrections and the
// removal of a lesson, and every bad input refused with its message and the
// books folder left exactly as it was.

#include "MadeRecordings.h"

#include "ownlessons/OwnVolume.h"
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
        runTool("lame", {"--quiet", recording_->path, in + "/talk.mp3"});
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

}  // namespace
