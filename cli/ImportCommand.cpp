// Adds one lesson to a volume of the learner's own from a recording and its
// text or subtitles, with no window: progress on standard error, the
// lesson's files on standard output.

#include "cli/ImportCommand.h"

#include "ownlessons/LessonImport.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption& volumeOption()
{
    static const QCommandLineOption option("volume", "自己的册名（books 下的文件夹；没有就新建）", "NAME");
    return option;
}
const QCommandLineOption& titleOption()
{
    static const QCommandLineOption option("title", "课的标题（默认为录音的文件名）", "TITLE");
    return option;
}
const QCommandLineOption& wordsOption()
{
    static const QCommandLineOption option("words", "本课词表（每个词三行：单词、音标、意思）", "FILE");
    return option;
}
const QCommandLineOption& mergeOption()
{
    static const QCommandLineOption option("merge-cues", "把没有说完一句的字幕和下一条合成一句");
    return option;
}

class ProgressLine {
public:
    explicit ProgressLine(QTextStream& err) : err_(err) {}

    void operator()(int percent, int sentence, int count)
    {
        if (percent == lastPercent_ && sentence == lastSentence_)
            return;
        lastPercent_ = percent;
        lastSentence_ = sentence;
        err_ << "导入 " << percent << "%";
        if (sentence > 0)
            err_ << "（第 " << sentence << " 句，共 " << count << " 句）";
        err_ << "\n";
        err_.flush();
    }

private:
    QTextStream& err_;
    int lastPercent_ = -1;
    int lastSentence_ = -1;
};

int runImport(const QCommandLineParser& parser, CommandContext& context)
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2 || !parser.isSet(volumeOption())) {
        context.err << "lexbay: 用法：lexbay --import --volume 册名 [--title 标题] [--words 词表] [--merge-cues] 录音 课文\n";
        return 2;
    }
    ImportRequest request;
    request.booksFolder = context.folders.ownBooks;
    request.programFolder = context.folders.program;
    request.volume = parser.value(volumeOption());
    request.title = parser.value(titleOption());
    request.wordsPath = parser.value(wordsOption());
    request.mergeCues = parser.isSet(mergeOption());
    request.audioPath = arguments.at(0);
    request.textPath = arguments.at(1);

    ProgressLine progress(context.err);
    const ImportResult result = importLesson(request, std::ref(progress));
    if (!result.error.isEmpty()) {
        context.err << "lexbay: 导入失败，什么也没有改动：" << result.error << "\n";
        return 1;
    }
    for (const QString& unsure : result.unsure)
        context.err << "lexbay: " << unsure << "\n";
    for (const QString& file : result.files)
        context.out << file << "\n";
    return 0;
}

}  // namespace

Command importCommand()
{
    return {"import", "把一个录音和它的课文（或字幕）加为自己的一课",
            {volumeOption(), titleOption(), wordsOption(), mergeOption()},
            "--import --volume NAME [--title TITLE] [--words FILE] [--merge-cues] AUDIO TEXT", &runImport};
}
