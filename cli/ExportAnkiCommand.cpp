#include "cli/ExportAnkiCommand.h"

#include "anki/AnkiPackage.h"
#include "anki/ExportChoice.h"
#include "platform/system/CourseLibrary.h"

int runExportAnki(const CommandLineRequest& line, CommandContext& context)
{
    const QStringList& arguments = line.arguments;
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
    int lastTenth = 0;
    const AnkiExportResult result =
        exportAnkiPackage(chosen.sentences, arguments.first(), kDefaultPaddingMs, [&](int done, int total) {
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
    context.out << "已写入 " << arguments.first() << "：" << result.notes << " 句\n";
    return 0;
}

