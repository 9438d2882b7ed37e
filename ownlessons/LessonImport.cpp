#include "ownlessons/LessonImport.h"

#include "course/Bookshelf.h"
#include "course/TimingFile.h"
#include "course/VideoReference.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"
#include "ownlessons/SentenceAligner.h"
#include "ownlessons/SubtitleReader.h"
#include "ownlessons/SubtitleTranslation.h"
#include "ownlessons/TextSplitter.h"
#include "ownlessons/WordList.h"
#include "platform/analysis/Mp3Encoding.h"
#include "platform/analysis/SpeechFeatures.h"
#include "platform/analysis/VideoTracks.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <memory>

namespace {

// A recording GStreamer needs longer than this for is refused, never waited on.
constexpr double kDecodingLimitSeconds = 120;
const char* const kLibraryFile = "liblexbaydll.so";
const char* const kLessonHead = "htmlhead.txt";

QString readable(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件“%1”").arg(path);
    *bytes = file.readAll();
    return {};
}

bool isMp3(const QString& path)
{
    QFile file(path);
    if (!path.endsWith(".mp3", Qt::CaseInsensitive) || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head.startsWith("ID3") || (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0);
}

struct Text {
    LessonSentences sentences;
    bool timed = false;
    QString error;
};

Text readText(const ImportRequest& request)
{
    Text text;
    QByteArray bytes;
    if (!(text.error = readable(request.textPath, &bytes)).isEmpty())
        return text;
    const QString decoded = decodeLessonText(bytes);
    const SubtitleFormat format = subtitleFormatOf(request.textPath);
    if (format != SubtitleFormat::None) {
        const SubtitleReading reading = readSubtitles(decoded, format, request.mergeCues);
        text.error = reading.error.isEmpty() ? QString() : QStringLiteral("“%1”：%2").arg(request.textPath, reading.error);
        text.sentences = reading.sentences;
        text.timed = true;
        return text;
    }
    text.sentences = splitLessonText(decoded);
    if (text.sentences.isEmpty())
        text.error = QStringLiteral("课文文件“%1”里没有英文句子").arg(request.textPath);
    return text;
}

// The cues of the video's own text track: the one asked for, or the first English one.
Text readTrack(const ImportRequest& request, const QList<TextTrack>& tracks)
{
    Text text;
    const int k = request.textTrack >= 0 ? request.textTrack : firstEnglishTrack(tracks);
    if (k < 0 || k >= tracks.size()) {
        text.error = QStringLiteral("“%1”里没有英文文字轨（%2）；请给出字幕文件")
                         .arg(request.audioPath, describeTracks(tracks));
        return text;
    }
    const TrackCues read = readTextTrack(request.audioPath, tracks.at(k));
    if (!read.error.isEmpty()) {
        text.error = read.error;
        return text;
    }
    QList<SubtitleCue> cues;
    for (const TimedText& cue : read.cues)
        cues << subtitleCue(cue.start, cue.end, cue.text);
    const SubtitleReading reading = sentencesOfCues(cues, request.mergeCues);
    text.error = reading.error.isEmpty() ? QString()
                                         : QStringLiteral("“%1”的文字轨 %2：%3").arg(request.audioPath).arg(k + 1).arg(reading.error);
    text.sentences = reading.sentences;
    text.timed = true;
    return text;
}

// Chinese subtitles to be matched to the sentences once their times are known.
QString readTranslation(const QString& path, QList<SubtitleCue>* cues)
{
    QByteArray bytes;
    if (QString error = readable(path, &bytes); !error.isEmpty())
        return error;
    const SubtitleFormat format = subtitleFormatOf(path);
    if (format == SubtitleFormat::None)
        return QStringLiteral("翻译“%1”不是字幕文件（SRT、VTT、ASS/SSA 或 LRC）").arg(path);
    const SubtitleCues read = readSubtitleCues(decodeLessonText(bytes), format);
    if (!read.error.isEmpty())
        return QStringLiteral("“%1”：%2").arg(path, read.error);
    *cues = read.cues;
    return {};
}

// The name a copied-in video takes: the lesson's base and the video's own
// extension, unless that is one the lesson's other files use.
QString copiedVideoName(const QString& base, const QString& videoPath)
{
    QString extension = QFileInfo(videoPath).suffix().toLower();
    static const QStringList taken = {"", "mp3", "lrc", "tsv", "txt"};
    if (taken.contains(extension))
        extension = "video";
    return base + "." + extension;
}

// The staged files read back as the catalogue reads a lesson: its title
// listed, its page made with every sentence, every start read.
QString checkWithLibrary(const ImportRequest& request, const QString& volumeFolder, const StagedLesson& staged,
                         const LessonSentences& sentences)
{
    CourseLibrary library(QDir(request.programFolder).filePath(kLibraryFile));
    if (!library.problem().isEmpty())
        return library.problem();
    if (library.dllFillLsLesson(staged.lessonFile).size() != staged.lessonIndex + 1)
        return QStringLiteral("新课的标题没有被课程库读出");
    const QString page = QDir(volumeFolder).filePath(".check.htm.part");
    const int made = library.dllMakeHtml(QDir(request.programFolder).filePath(kLessonHead), staged.lessonFile, page,
                                         staged.lessonIndex, -1);
    QFile::remove(page);
    if (made != sentences.size())
        return QStringLiteral("课程库从新课读出 %1 句，应为 %2 句").arg(made).arg(sentences.size());
    std::vector<double> times;
    const int read = timingfile::readStarts(library, staged.timingFile, sentences.size(), &times);
    if (read != sentences.size())
        return QStringLiteral("课程库从时间文件读出 %1 行，应为 %2 行").arg(read).arg(sentences.size());
    for (int k = 0; k < read; ++k) {
        if (std::abs(times[size_t(k)] - sentences.at(k).start) > 0.006)
            return QStringLiteral("课程库读出的第 %1 句时间不对").arg(k + 1);
    }
    return {};
}

class Import {
public:
    Import(const ImportRequest& request, const ImportProgress& progress, const std::atomic_bool* cancel)
        : request_(request), progress_(progress), cancel_(cancel)
    {
    }

    ImportResult run()
    {
        result_.error = prepare();
        if (result_.error.isEmpty())
            result_.error = build();
        if (!result_.error.isEmpty()) {
            transaction_.reset();
            // A volume made for this lesson goes again.
            if (madeFolder_)
                QDir(result_.volumeFolder).removeRecursively();
            result_.files.clear();
            result_.unsure.clear();
        }
        return result_;
    }

private:
    QString prepare()
    {
        if (QString refused = Bookshelf(request_.shippedBooks).refusedForImport(request_.volume); !refused.isEmpty())
            return refused;
        if (!QFileInfo(request_.audioPath).isFile() || !QFileInfo(request_.audioPath).isReadable())
            return QStringLiteral("无法读取录音“%1”").arg(request_.audioPath);
        if (!isMp3(request_.audioPath)) {
            streams_ = mediaStreamsOf(request_.audioPath);
            if (!streams_.error.isEmpty())
                return streams_.error;
            if (!streams_.sound)
                return streams_.video ? noSound() : QStringLiteral("无法读取“%1”：里面没有声音").arg(request_.audioPath);
        }
        if (request_.textPath.isEmpty() && !streams_.video)
            return QStringLiteral("没有给出课文或字幕文件（只有视频能从自己的文字轨取字幕）");
        text_ = request_.textPath.isEmpty() ? readTrack(request_, streams_.textTracks) : readText(request_);
        if (!text_.error.isEmpty())
            return text_.error;
        if (!request_.translationPath.isEmpty()) {
            if (QString error = readTranslation(request_.translationPath, &translation_); !error.isEmpty())
                return error;
            // Cues are matched by their own spans, before anything is encoded;
            // a text's sentences once they are aligned.
            if (text_.timed) {
                if (QString error = translate(); !error.isEmpty())
                    return error;
            }
        }
        if (!request_.wordsPath.isEmpty()) {
            QByteArray bytes;
            if (QString error = readable(request_.wordsPath, &bytes); !error.isEmpty())
                return error;
            QString error;
            words_ = readWordFile(decodeLessonText(bytes), &error);
            if (!error.isEmpty())
                return QStringLiteral("“%1”：%2").arg(request_.wordsPath, error);
        }
        result_.volumeFolder = QDir(request_.booksFolder).filePath(request_.volume);
        madeFolder_ = !QFileInfo::exists(result_.volumeFolder);
        if (!QDir().mkpath(result_.volumeFolder) || !QFileInfo(result_.volumeFolder).isWritable()) {
            madeFolder_ = madeFolder_ && QFileInfo::exists(result_.volumeFolder);
            return QStringLiteral("无法写入文件夹“%1”（只读或不能建立）").arg(result_.volumeFolder);
        }
        transaction_ = std::make_unique<FileTransaction>(result_.volumeFolder);
        return {};
    }

    bool cancelled() const { return cancel_ && *cancel_; }

    void report(int percent, int sentence = 0, int count = 0)
    {
        if (progress_)
            progress_(percent, sentence, count);
    }

    QString build()
    {
        const int position = lessonCount(result_.volumeFolder) + 1;
        const QString recording =
            transaction_->stagePath(lessonFileBase(request_.volume, position) + ".mp3");
        if (isMp3(request_.audioPath)) {
            // Byte for byte: the learner's file is what plays.
            if (!QFile::copy(request_.audioPath, recording))
                return QStringLiteral("无法把录音复制到“%1”（磁盘满了？）").arg(result_.volumeFolder);
        } else if (QString error =
                       encodeMp3(request_.audioPath, recording, kDecodingLimitSeconds, cancel_, &encodedSeconds_);
                   !error.isEmpty()) {
            return error;
        }
        report(10);
        // Times are found in the stored MP3, as the player will decode it.
        double seconds = 0;
        const QString timing = !text_.timed      ? alignText(recording, &seconds)
                               : request_.align ? alignCues(recording, &seconds)
                                                : checkCues(recording, &seconds);
        if (!timing.isEmpty())
            return timing;
        if (cancelled())
            return QStringLiteral("已取消");
        if (!text_.timed && !translation_.isEmpty()) {
            if (QString error = translate(); !error.isEmpty())
                return error;
        }
        if (streams_.video) {
            if (QString error = stageVideoReference(position); !error.isEmpty())
                return error;
        }
        return writeLesson(seconds);
    }

    QString translate()
    {
        if (translateByOverlap(text_.sentences, translation_) == 0)
            return QStringLiteral("翻译“%1”里没有一条中文字幕与英文句子的时间重叠").arg(request_.translationPath);
        return {};
    }

    // The lesson's reference to its video, and the video itself when it is copied in.
    QString stageVideoReference(int position)
    {
        const QString base = lessonFileBase(request_.volume, position);
        const QDir folder(result_.volumeFolder);
        QString video = request_.audioPath;
        if (request_.copyVideo) {
            const QString name = copiedVideoName(base, request_.audioPath);
            if (!QFile::copy(request_.audioPath, transaction_->stagePath(name)))
                return QStringLiteral("无法把视频复制到“%1”（磁盘满了？）").arg(result_.volumeFolder);
            video = folder.filePath(name);
            videoFiles_ << video;
        }
        const QString reference = base + kVideoReferenceExtension;
        const QByteArray bytes = videoReferenceBytes(video, result_.volumeFolder, request_.booksFolder);
        if (bytes.isEmpty())
            return QStringLiteral("视频的路径“%1”无法记在一行里（含换行？）；请改名或用 --copy-video").arg(video);
        if (!transaction_->write(reference, bytes))
            return transaction_->error();
        videoFiles_ << folder.filePath(reference);
        return {};
    }

    QString noSound() const { return QStringLiteral("“%1”里没有声音").arg(request_.audioPath); }

    // Subtitles bring their own times: each must lie within the recording.
    QString checkCues(const QString& recording, double* seconds)
    {
        // A converted recording's length is known from its encoding: a long
        // episode is not decoded a second time just to learn it.
        if (encodedSeconds_ > 0) {
            report(20);
            if (encodedSeconds_ < 0.1)
                return noSound();
            *seconds = encodedSeconds_;
            return cuePastTheEnd(encodedSeconds_);
        }
        const SpeechFeatures heard = speechFeaturesOfFile(
            recording, kDecodingLimitSeconds, [this](double) { report(20); }, cancel_);
        if (!heard.error.isEmpty())
            return heard.error;
        if (heard.frames() < 10)
            return noSound();
        *seconds = heard.seconds();
        return cuePastTheEnd(heard.seconds());
    }

    // A cue that starts after the sound has ended is refused; one that only
    // ends after it is kept, its sentence ending with the recording.
    QString cuePastTheEnd(double seconds) const
    {
        const LessonSentences& sentences = text_.sentences;
        for (int k = 0; k < sentences.size(); ++k) {
            if (sentences.at(k).start >= seconds)
                return QStringLiteral("字幕第 %1 句开始于 %2 秒，录音只有 %3 秒")
                    .arg(k + 1)
                    .arg(sentences.at(k).start, 0, 'f', 2)
                    .arg(seconds, 0, 'f', 2);
        }
        return {};
    }

    // Subtitles re-timed: the aligner's second pass looks for each sentence's
    // words where its cues lie.
    QString alignCues(const QString& recording, double* seconds)
    {
        LessonSentences& sentences = text_.sentences;
        QStringList english;
        std::vector<std::pair<double, double>> places;
        for (const LessonSentence& s : sentences) {
            english << s.english;
            places.emplace_back(s.start, s.end);
        }
        const SentenceAlignment alignment = alignRecordingFromPlaces(
            english, places, recording, kDecodingLimitSeconds,
            [this](int percent, int sentence, int count) { report(10 + percent * 85 / 100, sentence, count); },
            cancel_);
        if (alignment.recordingSeconds < 0.1 && alignment.error.isEmpty())
            return noSound();
        if (QString late = cuePastTheEnd(alignment.recordingSeconds); !late.isEmpty() && alignment.recordingSeconds > 0)
            return late;
        if (!alignment.error.isEmpty())
            return alignment.error;
        *seconds = alignment.recordingSeconds;
        setTimes(alignment);
        return {};
    }

    void setTimes(const SentenceAlignment& alignment)
    {
        LessonSentences& sentences = text_.sentences;
        for (int k = 0; k < sentences.size(); ++k) {
            const SentenceTiming& timing = alignment.sentences[size_t(k)];
            sentences[k].start = timing.start;
            sentences[k].words = timing.words;
            sentences[k].unsure = timing.confidence < kUnsureConfidence;
            if (sentences[k].unsure)
                result_.unsure << QStringLiteral("第 %1 句的时间可能不准").arg(k + 1);
        }
    }

    QString alignText(const QString& recording, double* seconds)
    {
        LessonSentences& sentences = text_.sentences;
        QStringList english;
        for (const LessonSentence& s : sentences)
            english << s.english;
        const SentenceAlignment alignment = alignRecording(
            english, recording, kDecodingLimitSeconds,
            [this](int percent, int sentence, int count) { report(10 + percent * 85 / 100, sentence, count); },
            cancel_);
        if (!alignment.error.isEmpty())
            return alignment.error;
        if (alignment.recordingSeconds < 0.1)
            return noSound();
        *seconds = alignment.recordingSeconds;
        setTimes(alignment);
        return {};
    }

    QString writeLesson(double seconds)
    {
        NewLesson lesson;
        lesson.title = request_.title.isEmpty() ? QFileInfo(request_.audioPath).completeBaseName() : request_.title;
        lesson.sentences = text_.sentences;
        lesson.words = request_.wordsPath.isEmpty() ? lessonWords(text_.sentences) : words_;
        lesson.recordingSeconds = seconds;
        const StagedLesson staged = stageLesson(*transaction_, result_.volumeFolder, lesson);
        if (!staged.error.isEmpty())
            return staged.error;
        if (QString error = checkWithLibrary(request_, result_.volumeFolder, staged, lesson.sentences);
            !error.isEmpty())
            return error;
        if (cancelled())
            return QStringLiteral("已取消");
        if (!transaction_->commit())
            return transaction_->error();
        result_.lessonIndex = staged.lessonIndex;
        result_.files = staged.files + videoFiles_;
        report(100);
        return {};
    }

    const ImportRequest& request_;
    const ImportProgress& progress_;
    const std::atomic_bool* cancel_;
    ImportResult result_;
    Text text_;
    MediaStreams streams_;
    QList<SubtitleCue> translation_;
    QStringList videoFiles_;
    double encodedSeconds_ = 0;
    QList<WordEntry> words_;
    std::unique_ptr<FileTransaction> transaction_;
    bool madeFolder_ = false;
};

}  // namespace

ImportResult importLesson(const ImportRequest& request, const ImportProgress& progress, const std::atomic_bool* cancel)
{
    return Import(request, progress, cancel).run();
}
