#include "cli/ExportAnkiCommand.h"

#include "anki/AnkiPackage.h"
#include "anki/ExportChoice.h"
#include "anki/WordBookSentences.h"
#include "dictionary/Dictionary.h"
#include "platform/system/CourseLibrary.h"
#include "record/RecordDatabase.h"

#include <QFileInfo>

namespace {

// Cuts and writes the package, telling progress by tenths.
int writePackage(const QList<ExportSentence>& sentences, const QString& packageFile, const char* unit,
                 CommandContext& context)
{
    int lastTenth = 0;
    const AnkiExportResult result =
        exportAnkiPackage(sentences, packageFile, kDefaultPaddingMs, [&](int done, int total) {
            if (done * 10 / total > lastTenth) {
                lastTenth = done * 10 / total;
                context.err << "已剪辑 " << done << "/" << total << " 句\n";
                context.err.flush();
            }
            return true;
        });
    if (!result.ok()) {
        context.err << "lexbay: 导出失败：" << result.error << "\n";
        return 1;
    }
    for (const QString& video : result.missingVideos)
        context.err << "lexbay: " << missingVideoNotice(video) << "\n";
    context.out << "已写入 " << packageFile << "：" << result.notes << " " << unit << "\n";
    return 0;
}

int exportWordBook(const QString& packageFile, CommandContext& context)
{
    WordBook book;
    if (QFileInfo::exists(context.folders.studyRecord)) {
        RecordDatabase record("lexbay-export-words");
        if (const QString problem = record.openForReading(context.folders.studyRecord); !problem.isEmpty()) {
            context.err << "lexbay: 无法读取学习记录：" << problem << "\n";
            return 1;
        }
        book = record.wordBook();
    }
    if (book.isEmpty()) {
        context.err << "lexbay: 生词本里还没有词\n";
        return 1;
    }
    CourseLibrary library(context.folders.program + "/liblexbaydll.so");
    if (!library.problem().isEmpty()) {
        context.err << "lexbay: 无法使用课程数据库：" << library.problem() << "\n";
        return 1;
    }
    Dictionary dictionary(dictionaryFile(context.folders.program));
    const QList<ExportSentence> words = wordBookSentences(
        book, library, {context.folders.shippedBooks(), context.folders.ownBooks}, [&](const QString& word) {
            const DictionaryEntry entry = dictionary.entry(word);
            return WordMeaning{entry.phonetic, entry.meanings};
        });
    return writePackage(words, packageFile, "个词", context);
}

}  // namespace

int runExportAnki(const CommandLineRequest& line, CommandContext& context)
{
    const QStringList& arguments = line.arguments;
    if (line.isSet("words")) {
        if (line.isSet("volume") || line.isSet("lesson") || !arguments.isEmpty()) {
            context.err << "lexbay: --words 导出整个生词本，不和 --volume、--lesson 或另一个文件名一起用\n";
            return 2;
        }
        return exportWordBook(line.value("words"), context);
    }
    if (!line.isSet("volume")) {
        context.err << "lexbay: --export-anki 需要 --volume NAME（或 --words）\n";
        return 2;
    }
    if (arguments.isEmpty()) {
        context.err << "lexbay: --export-anki 需要 1 个参数（OUT.apkg），却给了 0 个\n";
        return 2;
    }
    const QString volumeName = line.value("volume");
    if (volumeName.isEmpty()) {
        context.err << "lexbay: --volume 不能为空。用法：lexbay " << line.command->usage() << "\n";
        return 2;
    }
    const CourseVolume volume = findVolume(volumeName, {context.folders.shippedBooks(), context.folders.ownBooks});
    if (volume.folder.isEmpty()) {
        context.err << "lexbay: 找不到课本“" << volumeName << "”\n";
        return 1;
    }
    CourseLibrary library(context.folders.program + "/liblexbaydll.so");
    if (!library.problem().isEmpty()) {
        context.err << "lexbay: 无法使用课程数据库：" << library.problem() << "\n";
        return 1;
    }
    const LessonSentences chosen =
        chosenSentences(library, volume, line.isSet("lesson") ? line.value("lesson") : QString());
    if (!chosen.error.isEmpty()) {
        context.err << "lexbay: " << chosen.error << "\n";
        return 1;
    }
    return writePackage(chosen.sentences, arguments.first(), "句", context);
}

