#include "cli/RetimeCommand.h"

#include "boundaries/StartRange.h"
#include "course/TimingFile.h"
#include "ownlessons/OwnVolume.h"
#include "ownlessons/SpanWords.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

// A whole number from 1 to `count`, or 0.
int position(const QString& text, int count)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 && n <= count ? n : 0;
}

}  // namespace

int runRetime(const CommandLineRequest& line, CommandContext& context)
{
    const QString volume = line.value("volume");
    const QString folder = QDir(context.folders.ownBooks).filePath(volume);
    if (volume.isEmpty() || volume.contains('/') || !QFileInfo(folder).isDir()) {
        const bool shipped = !volume.isEmpty() && QFileInfo(QDir(context.folders.shippedBooks()).filePath(volume)).isDir();
        context.err << "lexbay: " << (shipped ? QString("“%1”是随程序提供的课本，不能修改").arg(volume)
                                              : QString("没有名为“%1”的自己的课本").arg(volume))
                    << "\n";
        return shipped ? 1 : 2;
    }
    const int lessons = lessonCount(folder);
    const int lesson = position(line.value("lesson"), lessons);
    if (lesson == 0) {
        context.err << "lexbay: " << QString("--lesson 需要 1 到 %1 之间的课号，而不是 “%2”").arg(lessons).arg(line.value("lesson"))
                    << "\n";
        return 2;
    }
    const LessonTimes times = lessonTimes(folder, lesson - 1);
    if (!times.error.isEmpty()) {
        context.err << "lexbay: " << times.error << "\n";
        return 1;
    }
    const int sentences = int(times.starts.size());
    const int sentence = position(line.value("sentence"), sentences);
    if (sentence == 0) {
        context.err << "lexbay: "
                    << QString("--sentence 需要 1 到 %1 之间的句号，而不是 “%2”").arg(sentences).arg(line.value("sentence"))
                    << "\n";
        return 2;
    }
    bool number = false;
    const double start = line.value("start").toDouble(&number);
    const StartRange range = startRange(times.starts, times.firstWords, times.recordingSeconds, sentence - 1);
    if (!number || !std::isfinite(start) || !range.holds(start)) {
        context.err << "lexbay: "
                    << QString("--start 需要 %1 到 %2 之间的秒数（前一句的第一个词之后、后一句开始之前），而不是 “%3”")
                           .arg(range.earliest, 0, 'f', 2)
                           .arg(range.latest, 0, 'f', 2)
                           .arg(line.value("start"))
                    << "\n";
        return 2;
    }
    // A recording whose length is unknown bounds the last sentence no more
    // than the timing file does.
    const double end = times.recordingSeconds > 0 ? times.recordingSeconds : timingfile::kLongestRecording;
    QString error;
    const double set =
        moveSentenceStart(folder, lesson - 1, sentence - 1, start - times.starts[size_t(sentence - 1)], end, &error);
    if (!error.isEmpty()) {
        context.err << "lexbay: " << error << "\n";
        return 1;
    }
    context.out << QString("第 %1 句从 %2 秒开始\n").arg(sentence).arg(set, 0, 'f', 2);
    // The words of this sentence and the one before, found again in their new spans.
    const RealignedWords words = realignSentenceWords(folder, lesson - 1, {sentence - 2, sentence - 1});
    if (!words.error.isEmpty())
        context.err << "lexbay: " << QString("词的时间没有重新对齐：%1").arg(words.error) << "\n";
    else if (words.verified > 0)
        context.out << QString("%1 句的词已按新的边界重新对齐\n").arg(words.verified);
    return 0;
}
