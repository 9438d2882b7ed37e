#include "anki/AnkiPackage.h"

#include "anki/AnkiCollection.h"
#include "anki/ClipRange.h"
#include "anki/Mp3Clip.h"
#include "platform/analysis/WholeRecording.h"
#include "platform/video/FrameGrab.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <zip.h>

#include <cmath>
#include <memory>
#include <numeric>

namespace {

// The clips' sample rate: the whole band of speech, at a rate MP3 encodes at
// 64 kbit/s with room for its header frame.
constexpr int kClipRate = 32000;

struct Clip {
    QString fileName;
    QByteArray bytes;
};

struct PackageContent {
    QList<AnkiNote> notes;
    QList<Clip> clips;
    QList<Clip> pictures;  // one per note, empty for an audio lesson's
};

QString sentenceHash(const ExportSentence& sentence)
{
    return QCryptographicHash::hash(sentence.key().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
}

// The note's guid, by which a later import of the sentence updates it.
// Anki leaves a note whose guid comes back under another note type as it
// was, so a sentence's note with a picture and its note without one are
// two notes: the one without keeps the sentence's hash, as it always had.
QString noteGuid(const ExportSentence& sentence, bool picture)
{
    if (!picture)
        return sentenceHash(sentence);
    const QByteArray key = (sentence.key() + "\npicture").toUtf8();
    return QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16);
}

QString clipFileName(const ExportSentence& sentence)
{
    return "lexbay-" + sentenceHash(sentence) + ".mp3";
}

QString pictureFileName(const ExportSentence& sentence)
{
    return "lexbay-" + sentenceHash(sentence) + ".jpg";
}

// The deck of the word book's notes, under the decks of the volumes.
const char* const kWordBookDeck = "生词本";

// The sentence with the characters of the word as written set in bold.
QString sentenceWithWord(const ExportSentence& sentence)
{
    const qsizetype at = sentence.wordForm.isEmpty() ? -1 : sentence.english.indexOf(sentence.wordForm);
    if (at < 0)
        return sentence.english.toHtmlEscaped();
    return sentence.english.left(at).toHtmlEscaped() + "<b>" + sentence.wordForm.toHtmlEscaped() + "</b>"
           + sentence.english.mid(at + sentence.wordForm.size()).toHtmlEscaped();
}

AnkiNote wordNoteOf(const ExportSentence& sentence, bool heard)
{
    const bool picture = heard && !sentence.video.isEmpty();
    QStringList fields(picture ? kAnkiWordFieldCount + 1 : kAnkiWordFieldCount);
    fields[WordFieldWord] = sentence.word.toHtmlEscaped();
    fields[WordFieldPhonetic] = sentence.phonetic.isEmpty() ? QString() : "/" + sentence.phonetic.toHtmlEscaped() + "/";
    QStringList meanings;
    for (const QString& meaning : sentence.meanings)
        meanings << meaning.toHtmlEscaped();
    fields[WordFieldMeaning] = meanings.join("<br>");
    fields[WordFieldSentence] = sentenceWithWord(sentence);
    fields[WordFieldChinese] = sentence.chinese.toHtmlEscaped();
    fields[WordFieldAudio] = heard ? QString("[sound:%1]").arg(clipFileName(sentence)) : QString();
    fields[WordFieldLesson] = sentence.lessonTitle.isEmpty()
                                  ? QString()
                                  : QString("%1 · %2").arg(sentence.volume, sentence.lessonTitle).toHtmlEscaped();
    if (picture)
        fields[kAnkiWordFieldCount] = QString("<img src=\"%1\">").arg(pictureFileName(sentence));
    return {noteGuid(sentence, picture), kWordBookDeck, fields, picture, true};
}

AnkiNote noteOf(const ExportSentence& sentence, bool heard)
{
    if (!sentence.word.isEmpty())
        return wordNoteOf(sentence, heard);
    const bool picture = !sentence.video.isEmpty();
    QStringList fields(picture ? FieldPicture + 1 : kAnkiFieldCount);
    fields[FieldEnglish] = sentence.english.toHtmlEscaped();
    fields[FieldChinese] = sentence.chinese.toHtmlEscaped();
    fields[FieldAudio] = QString("[sound:%1]").arg(clipFileName(sentence));
    fields[FieldLesson] = sentence.lessonTitle.toHtmlEscaped();
    fields[FieldSentenceNumber] = QString::number(sentence.number);
    if (picture)
        fields[FieldPicture] = QString("<img src=\"%1\">").arg(pictureFileName(sentence));
    return {noteGuid(sentence, picture), sentence.volume, fields, picture, false};
}

// The clips of the sentences, cut recording by recording: a recording is
// decoded when its first sentence comes and kept until another one's does.
// A video lesson's video is opened alike, and each sentence's picture taken
// from it.
class ClipCutter {
public:
    ClipCutter(int paddingMs, const AnkiExportProgress& progress, int total)
        : paddingMs_(paddingMs), progress_(progress), total_(total)
    {
    }

    // An empty error and false: cancelled.
    bool cut(const ExportSentence& sentence, Clip& clip, Clip& picture, QString* error)
    {
        const Recording* recording = open(sentence.recording, error);
        if (!recording)
            return false;
        if (sentence.start < 0 || sentence.start >= recording->speech.duration() ||
            (sentence.end >= 0 && sentence.end <= sentence.start)) {
            *error = QString("课文“%1”第 %2 句的时间不对（%3 秒到 %4 秒，录音长 %5 秒）：请检查时间文件")
                         .arg(sentence.lessonTitle)
                         .arg(sentence.number)
                         .arg(sentence.start, 0, 'f', 2)
                         .arg(sentence.end, 0, 'f', 2)
                         .arg(recording->speech.duration(), 0, 'f', 2);
            return false;
        }
        const ClipRange range = recording->speech.paddedRange(sentence.start, sentence.end, paddingMs_);
        const std::size_t first = std::size_t(std::llround(range.start * kClipRate));
        const std::size_t last =
            std::min(recording->audio.samples.size(), std::size_t(std::llround(range.end * kClipRate)));
        Mp3Clip mp3 = encodeMp3Clip(recording->audio.samples.data() + first, last - first, kClipRate);
        if (!mp3.error.isEmpty()) {
            *error = mp3.error;
            return false;
        }
        clip = {clipFileName(sentence), mp3.bytes};
        if (!sentence.video.isEmpty()) {
            const double end = sentence.end < 0 ? recording->speech.duration() : sentence.end;
            const QByteArray jpeg = frame(sentence.video, (sentence.start + end) / 2, error);
            if (jpeg.isEmpty())
                return false;
            picture = {pictureFileName(sentence), jpeg};
        }
        return !progress_ || progress_(++done_, total_);
    }

private:
    struct Recording {
        WholeRecording audio;
        SpeechMap speech;
    };

    const Recording* open(const QString& path, QString* error)
    {
        if (recording_ && recordingPath_ == path)
            return recording_.get();
        recording_.reset();
        if (!QFileInfo::exists(path)) {
            *error = QString("找不到课文录音：%1").arg(path);
            return nullptr;
        }
        WholeRecording audio = decodeWholeRecording(path, kClipRate);
        if (!audio.ok()) {
            *error = audio.error;
            return nullptr;
        }
        SpeechMap speech(audio.samples, audio.rate);
        recording_ = std::make_unique<Recording>(Recording{std::move(audio), speech});
        recordingPath_ = path;
        return recording_.get();
    }

    QByteArray frame(const QString& video, double seconds, QString* error)
    {
        if (!grab_ || videoPath_ != video) {
            grab_ = std::make_unique<FrameGrab>(video);
            videoPath_ = video;
        }
        QByteArray jpeg = grab_->frameAt(seconds);
        if (jpeg.isEmpty())
            *error = grab_->error();
        return jpeg;
    }

    int paddingMs_;
    const AnkiExportProgress& progress_;
    int total_;
    int done_ = 0;
    QString recordingPath_;
    std::unique_ptr<Recording> recording_;
    QString videoPath_;
    std::unique_ptr<FrameGrab> grab_;
};

QByteArray mediaMap(const QList<Clip>& media)
{
    QJsonObject map;
    for (int i = 0; i < media.size(); ++i)
        map.insert(QString::number(i), media[i].fileName);
    return QJsonDocument(map).toJson(QJsonDocument::Compact);
}

QString zipProblem(zip_t* archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

// The zip: the collection, the media map and each media file (clip or
// picture) under its number.
// libzip writes it beside the target under a temporary name and renames it
// into place only when zip_close has written all of it.
QString writeZip(const QString& packageFile, const QString& collectionFile, const QList<Clip>& files)
{
    int openError = 0;
    zip_t* archive = zip_open(QFile::encodeName(packageFile).constData(), ZIP_CREATE | ZIP_TRUNCATE, &openError);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return QString("无法创建 %1：%2").arg(packageFile, why);
    }
    const QByteArray media = mediaMap(files);
    auto add = [archive](const char* name, zip_source_t* source, bool store) {
        const zip_int64_t index =
            source ? zip_file_add(archive, name, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return !store || zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0;
    };
    bool added = add("collection.anki2", zip_source_file(archive, QFile::encodeName(collectionFile).constData(), 0, -1),
                     false) &&
                 add("media", zip_source_buffer(archive, media.constData(), zip_uint64_t(media.size()), 0), false);
    // MP3 and JPEG do not deflate: the media are stored as they are.
    for (int i = 0; added && i < files.size(); ++i)
        added =
            add(QByteArray::number(i).constData(),
                zip_source_buffer(archive, files[i].bytes.constData(), zip_uint64_t(files[i].bytes.size()), 0), true);
    if (!added || zip_close(archive) != 0) {
        const QString why = zipProblem(archive);
        zip_discard(archive);
        return QString("无法写入 %1：%2").arg(packageFile, why);
    }
    return {};
}

// A package folder that takes no file gets no work done first.
QString folderProblem(const QString& packageFile)
{
    const QFileInfo target(packageFile);
    if (!target.dir().exists())
        return QString("文件夹不存在：%1").arg(target.absolutePath());
    if (target.isDir())
        return QString("%1 是文件夹，不能作为 Anki 包的文件名").arg(packageFile);
    QTemporaryFile probe(target.dir().filePath(".lexbay-anki-XXXXXX"));
    if (!probe.open())
        return QString("无法在文件夹中写入文件：%1（%2）").arg(target.absolutePath(), probe.errorString());
    return {};
}

}  // namespace

QString missingVideoNotice(const QString& video)
{
    return QString("找不到课文的视频：%1，这一课的卡片没有画面").arg(video);
}

AnkiExportResult exportAnkiPackage(const QList<ExportSentence>& sentences, const QString& packageFile, int paddingMs,
                                   const AnkiExportProgress& progress)
{
    AnkiExportResult result;
    if (sentences.isEmpty()) {
        result.error = "没有要导出的句子";
        return result;
    }
    result.error = folderProblem(packageFile);
    if (!result.error.isEmpty())
        return result;
    // The same sentence chosen twice is one note.
    QList<ExportSentence> distinct;
    QSet<QString> keys;
    for (const ExportSentence& sentence : sentences) {
        if (!keys.contains(sentence.key())) {
            keys.insert(sentence.key());
            distinct.append(sentence);
        }
    }
    // The notes keep the order given; the clips are cut grouped by recording,
    // so sentences gathered from many lessons decode each recording once, and
    // in time order within it, so a video's frames come in ascending time.
    QList<int> cutOrder(distinct.size());
    std::iota(cutOrder.begin(), cutOrder.end(), 0);
    QHash<QString, int> firstUse;
    for (int i = distinct.size() - 1; i >= 0; --i)
        firstUse.insert(distinct[i].recording, i);
    std::stable_sort(cutOrder.begin(), cutOrder.end(), [&](int a, int b) {
        const int recordingA = firstUse[distinct[a].recording], recordingB = firstUse[distinct[b].recording];
        return recordingA != recordingB ? recordingA < recordingB : distinct[a].start < distinct[b].start;
    });
    PackageContent content;
    content.clips.resize(distinct.size());
    content.pictures.resize(distinct.size());
    ClipCutter cutter(paddingMs, progress, distinct.size());
    for (int i : cutOrder) {
        // A kept word whose sentence can no longer be heard goes out without.
        if (distinct[i].recording.isEmpty() && !distinct[i].word.isEmpty())
            continue;
        if (!cutter.cut(distinct[i], content.clips[i], content.pictures[i], &result.error)) {
            result.cancelled = result.error.isEmpty();
            return result;
        }
    }
    for (int i = 0; i < distinct.size(); ++i) {
        const ExportSentence& sentence = distinct[i];
        content.notes.append(noteOf(sentence, !content.clips[i].bytes.isEmpty()));
        if (!sentence.missingVideo.isEmpty() && !result.missingVideos.contains(sentence.missingVideo))
            result.missingVideos << sentence.missingVideo;
    }
    // The pictures follow the clips in the media, so an export without video
    // lessons numbers its clips as it always did.
    QList<Clip> media;
    for (const Clip& clip : std::as_const(content.clips))
        if (!clip.bytes.isEmpty())
            media << clip;
    for (const Clip& picture : std::as_const(content.pictures))
        if (!picture.bytes.isEmpty())
            media << picture;
    QTemporaryDir work;
    const QString collection = work.filePath("collection.anki2");
    if (!work.isValid()) {
        result.error = QString("无法创建临时文件夹：%1").arg(work.errorString());
        return result;
    }
    result.error = writeAnkiCollection(collection, content.notes);
    if (result.error.isEmpty())
        result.error = writeZip(packageFile, collection, media);
    if (result.error.isEmpty())
        result.notes = content.notes.size();
    return result;
}
