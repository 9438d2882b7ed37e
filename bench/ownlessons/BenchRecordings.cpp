#include "BenchRecordings.h"

#include "WavFiles.h"

#include "platform/analysis/AudioDecoding.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <random>

bool runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitCode() == 0;
}

namespace {

// Where the samples are louder than `threshold`: [first, last] in seconds.
std::pair<double, double> speechExtent(const std::vector<float>& samples, float threshold)
{
    size_t first = samples.size(), last = 0;
    for (size_t k = 0; k < samples.size(); ++k) {
        if (std::abs(samples[k]) > threshold) {
            first = std::min(first, k);
            last = k;
        }
    }
    return {double(first) / kAnalysisRate, double(last) / kAnalysisRate};
}

BenchSentence spokenFrom(const QString& text, const QString& wav)
{
    BenchSentence s{text, decodeAudio(wav).samples, 0, 0, {}};
    std::tie(s.speechFrom, s.speechTo) = speechExtent(s.samples, 0.02f);
    return s;
}

// Festival's script: the text said, the wave saved, and one line per word:
// whether it opens its written token, its start and its end.
const char* const kFestivalScript = R"((%1)
(Parameter.set 'Duration_Stretch %2)
(set! utt (utt.synth (Utterance Text "%3")))
(utt.save.wave utt "%4" 'riff)
(set! fd (fopen "%5" "w"))
(mapcar (lambda (w)
  (format fd "%s %f %f\n" (item.feat w "R:Token.p.name")
    (item.feat w "R:SylStructure.daughter1.daughter1.segment_start")
    (item.feat w "R:SylStructure.daughtern.daughtern.end")))
  (utt.relation.items utt 'Word))
(fclose fd)
)";

// The RMS of the samples where the sentences are spoken.
double speechLevel(const std::vector<float>& samples, const BenchRecording& recording)
{
    double sum = 0;
    size_t count = 0;
    for (size_t k = 0; k < recording.speechStart.size(); ++k) {
        const size_t from = size_t(recording.speechStart[k] * kAnalysisRate);
        const size_t to = std::min(samples.size(), size_t((k + 1 < recording.speechEnd.size() ? recording.speechEnd[k + 1]
                                                                                               : recording.speechStart[k] + 1)
                                                          * kAnalysisRate));
        for (size_t i = from; i < to; ++i)
            sum += double(samples[i]) * samples[i];
        count += to > from ? to - from : 0;
    }
    return count > 0 ? std::sqrt(sum / double(count)) : 0.0;
}

// How much later the sound comes in `decoded` than in `original`, found
// by cross-correlation over two seconds from `around` (up to 0.2 s).
double decodedLag(const std::vector<float>& original, const std::vector<float>& decoded, double around)
{
    const size_t from = size_t(std::max(0.0, around - 0.5) * kAnalysisRate), length = 2 * kAnalysisRate;
    const int most = kAnalysisRate / 5;
    if (original.size() < from + length || decoded.size() < from + length + size_t(most))
        return 0;
    int best = 0;
    double bestSum = -1e300;
    for (int lag = 0; lag <= most; ++lag) {
        double sum = 0;
        for (size_t i = from; i < from + length; ++i)
            sum += double(original[i]) * decoded[i + size_t(lag)];
        if (sum > bestSum) {
            bestSum = sum;
            best = lag;
        }
    }
    return double(best) / kAnalysisRate;
}

}  // namespace

QString benchFolder(const QString& temporary)
{
    const QString folder = qEnvironmentVariable("BENCH_FOLDER", temporary);
    QDir().mkpath(folder);
    return folder;
}

QStringList proseSentences(int count, unsigned seed)
{
    const QStringList subjects = {"My grandmother", "The old ferryman", "Mr. Green", "Dr. Patel", "Our neighbour",
                                  "The youngest of the three sisters", "A tall stranger", "The teacher",
                                  "Nobody in the village", "Her brother", "The baker on the corner", "Every child"};
    const QStringList verbs = {"kept", "painted", "carried", "found", "sold", "mended", "counted", "borrowed",
                               "noticed", "wrote", "collected", "described"};
    const QStringList objects = {"a tin box of letters", "the blue bicycle", "twelve wooden chairs", "an old map",
                                 "the broken clock", "a basket of apples", "the heavy door", "some fresh bread",
                                 "a long letter to the mayor", "the station's timetable"};
    const QStringList endings = {"before the rain began", "in the summer of 1998", "for almost an hour",
                                 "after dinner on Sunday", "while the others were asleep", "near the river",
                                 "at 7 o'clock every morning", "for 35 dollars", "without saying a word",
                                 "under the stairs", "in 2005", "at the end of the 3rd week"};
    const QStringList asides = {"and nobody ever asked why", "although the weather was bad",
                                "as the church bells rang", "which surprised the whole family", ""};
    std::mt19937 random(seed);
    QStringList sentences;
    for (int i = 0; i < count; ++i) {
        QString s = subjects[int(random() % subjects.size())] + " " + verbs[int(random() % verbs.size())] + " "
                    + objects[int(random() % objects.size())] + " " + endings[int(random() % endings.size())];
        const QString aside = asides[int(random() % asides.size())];
        if (!aside.isEmpty())
            s += ", " + aside;
        sentences << s + (random() % 5 == 0 ? "?" : ".");
    }
    return sentences;
}

std::vector<BenchSentence> espeakSentences(const QStringList& texts, const QStringList& voices, const QString& folder,
                                           unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<BenchSentence> sentences;
    for (int i = 0; i < texts.size(); ++i) {
        const QString wav = QDir(folder).filePath(QString("espeak%1.wav").arg(i));
        runProgram("espeak-ng",
                   {"-v", voices[i % voices.size()], "-s", QString::number(140 + random() % 50), "-w", wav, texts[i]});
        sentences.push_back(spokenFrom(texts[i], wav));
    }
    return sentences;
}

std::vector<BenchSentence> festivalSentences(const QStringList& texts, const QString& voice, double stretch,
                                             const QString& folder)
{
    std::vector<BenchSentence> sentences;
    for (int i = 0; i < texts.size(); ++i) {
        const QString wav = QDir(folder).filePath(QString("festival-%1-%2.wav").arg(voice).arg(i));
        const QString words = wav + ".words", script = wav + ".scm";
        QString said = texts[i];
        said.replace('"', ' ');
        const QByteArray commands = QString(kFestivalScript)
                                        .arg("voice_" + voice)
                                        .arg(stretch)
                                        .arg(said, wav, words)
                                        .toUtf8();
        // A reading kept from an earlier run of the same commands is taken again.
        if (readFile(script) != commands || !QFile::exists(wav) || !QFile::exists(words)) {
            writeFile(script, commands);
            runProgram("festival", {"-b", script});
        }
        BenchSentence s = spokenFrom(texts[i], wav);
        // A word that continues its token ("thirty five" of "35") adds no start.
        for (const QByteArray& line : readFile(words).split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 3 && fields[0] == "0")
                s.wordStarts.push_back(fields[1].toDouble());
        }
        if (!s.wordStarts.empty()) {
            s.speechFrom = s.wordStarts.front();
            s.speechTo = std::max(s.speechFrom, readFile(words).trimmed().split('\n').last().split(' ').last().toDouble());
        }
        sentences.push_back(std::move(s));
    }
    return sentences;
}

std::vector<BenchSentence> fliteSentences(const QStringList& texts, const QString& voice, double stretch,
                                          const QString& folder)
{
    std::vector<BenchSentence> sentences;
    for (int i = 0; i < texts.size(); ++i) {
        const QString wav = QDir(folder).filePath(QString("flite-%1-%2.wav").arg(voice).arg(i));
        runProgram("flite", {"-voice", voice, "--setf", QString("duration_stretch=%1").arg(stretch), "-t", texts[i],
                             "-o", wav});
        sentences.push_back(spokenFrom(texts[i], wav));
    }
    return sentences;
}

std::vector<BenchSentence> testDataReadings(const QString& folder)
{
    std::vector<BenchSentence> sentences;
    // "transcription", or "<folder's name>.transcription".
    QFile transcription(folder + "/transcription");
    if (!transcription.exists())
        transcription.setFileName(folder + "/" + QDir(folder).dirName() + ".transcription");
    if (!transcription.open(QIODevice::ReadOnly))
        return sentences;
    static const QRegularExpression line(QStringLiteral("^<s>(.*)</s>\\s*\\((.*)\\)"));
    QTextStream in(&transcription);
    while (!in.atEnd()) {
        const QRegularExpressionMatch match = line.match(in.readLine());
        if (!match.hasMatch())
            continue;
        BenchSentence s{match.captured(1).simplified(), decodeAudio(folder + "/" + match.captured(2) + ".wav").samples,
                        0, 0, {}};
        s.text[0] = s.text[0].toUpper();
        s.text += '.';
        // A human voice over a room's hiss: speech is what peaks within 20 dB of the loudest.
        float loudest = 0;
        for (float x : s.samples)
            loudest = std::max(loudest, std::abs(x));
        std::tie(s.speechFrom, s.speechTo) = speechExtent(s.samples, loudest * 0.1f);
        sentences.push_back(std::move(s));
    }
    return sentences;
}

BenchRecording layOut(const QString& name, const std::vector<BenchSentence>& sentences, const Layout& layout,
                      const QString& folder)
{
    BenchRecording recording{name, QDir(folder).filePath(name + ".mp3"), QDir(folder).filePath(name + ".txt"), {},
                             {}, {}};
    const QString kept = recording.mp3 + ".layout";
    if (QFile::exists(recording.mp3) && QFile::exists(kept) && QFile::exists(recording.text)) {
        for (const QByteArray& line : readFile(kept).split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 2)
                continue;
            recording.speechStart.push_back(fields[0].toDouble());
            recording.speechEnd.push_back(fields[1].toDouble());
            std::vector<double> words;
            for (int f = 2; f < fields.size(); ++f)
                words.push_back(fields[f].toDouble());
            recording.wordStarts.push_back(words);
        }
        return recording;
    }
    std::mt19937 random(layout.seed);
    std::uniform_real_distribution<double> pause(layout.pauseFrom, layout.pauseTo);
    std::normal_distribution<float> noise(0, float(std::pow(10.0, layout.noiseDb / 20)));
    std::vector<float> samples;
    QString text;
    double previousEnd = 0;
    const auto append = [&](const BenchSentence& s, double pauseAfter) {
        const double at = double(samples.size()) / kAnalysisRate;
        samples.insert(samples.end(), s.samples.begin(), s.samples.end());
        samples.resize(samples.size() + size_t(pauseAfter * kAnalysisRate));
        return at;
    };
    for (int i = 0; i < layout.introSentences; ++i)
        previousEnd = append(sentences[size_t(i)], 0.1) + sentences[size_t(i)].speechTo;
    samples.resize(samples.size() + size_t(layout.firstPause * kAnalysisRate));
    const size_t spoken = sentences.size() - size_t(layout.introSentences);
    for (size_t n = 0; n < spoken || double(samples.size()) / kAnalysisRate < layout.minutes * 60; ++n) {
        if (layout.minutes == 0 && n >= spoken)
            break;
        const BenchSentence& s = sentences[size_t(layout.introSentences) + n % spoken];
        const double at = append(s, pause(random));
        recording.speechStart.push_back(at + s.speechFrom);
        recording.speechEnd.push_back(previousEnd);
        std::vector<double> words;
        for (double w : s.wordStarts)
            words.push_back(at + w);
        recording.wordStarts.push_back(words);
        previousEnd = at + s.speechTo;
        text += s.text + "\n";
    }
    const double speech = speechLevel(samples, recording);
    if (layout.bedUnderSpeechDb > 0)
        addMusicBed(&samples, kAnalysisRate, speech * std::pow(10.0, -layout.bedUnderSpeechDb / 20));
    const float steady = float(speech * std::pow(10.0, -layout.noiseUnderSpeechDb / 20));
    std::normal_distribution<float> underSpeech(0, layout.noiseUnderSpeechDb > 0 ? steady : 0.f);
    std::mt19937 noiseRandom(layout.noiseSeed);
    std::mt19937& noiseFrom = layout.noiseSeed != 0 ? noiseRandom : random;
    for (float& x : samples)
        x += noise(noiseFrom) + underSpeech(noiseFrom);
    QString wav = QDir(folder).filePath(name + ".wav");
    writeMonoWav(wav, samples, kAnalysisRate);
    writeFile(recording.text, text.toUtf8());
    if (!layout.soxEffects.isEmpty() || layout.rate > 0) {
        const QString changed = QDir(folder).filePath(name + "-sox.wav");
        // -R: sox dithers what it writes with a seed of its own each run;
        // repeatable, the same layout gives the same recording every time.
        QStringList arguments = {"-R", wav};
        if (layout.rate > 0)
            arguments << "-r" << QString::number(layout.rate);
        runProgram("sox", arguments << changed << layout.soxEffects);
        QFile::remove(wav);
        wav = changed;
    }
    runProgram("lame", layout.mp3Kbps > 0 ? QStringList{"--quiet", "-b", QString::number(layout.mp3Kbps), wav, recording.mp3}
                                          : QStringList{"--quiet", "-V", "4", wav, recording.mp3});
    // The times as a player hears the MP3: a constant-rate one keeps the
    // encoder's delay before the sound.
    const double lag = decodedLag(decodeAudio(wav).samples, decodeAudio(recording.mp3).samples,
                                  recording.speechStart.empty() ? 0 : recording.speechStart.front());
    for (size_t k = 0; k < recording.speechStart.size(); ++k) {
        recording.speechStart[k] += lag;
        recording.speechEnd[k] += lag;
        for (double& w : recording.wordStarts[k])
            w += lag;
    }
    QFile::remove(wav);
    QByteArray lines;
    for (size_t k = 0; k < recording.speechStart.size(); ++k) {
        lines += QByteArray::number(recording.speechStart[k], 'f', 4) + ' '
                 + QByteArray::number(recording.speechEnd[k], 'f', 4);
        for (double w : recording.wordStarts[k])
            lines += ' ' + QByteArray::number(w, 'f', 4);
        lines += '\n';
    }
    writeFile(kept, lines);
    return recording;
}
