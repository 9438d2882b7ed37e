// Adds one lesson to a volume of the learner's own from a recording (or a
// video) and its text or subtitles, with no window: progress on standard error, the
// lesson's files on standard output.

#include "cli/ImportCommand.h"

#include "ownlessons/LessonImport.h"

namespace {

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

}  // namespace

int runImport(const CommandLineRequest& line, CommandContext& context)
{
    const QStringList& arguments = line.arguments;
    ImportRequest request;
    request.booksFolder = context.folders.ownBooks;
    request.shippedBooks = context.folders.shippedBooks();
    request.programFolder = context.folders.program;
    request.volume = line.value("volume");
    request.title = line.value("title");
    request.wordsPath = line.value("words");
    request.translationPath = line.value("translation");
    request.mergeCues = line.isSet("merge-cues");
    request.copyVideo = line.isSet("copy-video");
    request.align = line.isSet("align");
    request.audioPath = arguments.at(0);
    request.textPath = arguments.value(1);

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

