// Imports recordings of 10 and 60 minutes with the staged program and
// reports, for each: the time, the import's peak memory, and the sentence
// starts against the silences of the recording (how many lie outside the
// silence before their sentence, and the worst margins).
//
// The recordings: 60 sentences spoken once each by espeak-ng in four voices
// at their own paces, laid out again and again with pauses of random length
// (0.3–2.5 s), an unspoken intro of 4 s of speech, and white noise 40 dB
// down; then encoded to MP3 with lame, as a learner's file would be.

#include "WavFiles.h"

#include "platform/analysis/AudioDecoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <random>

namespace {

struct Sentence {
    QString text;
    std::vector<float> samples;  // at kAnalysisRate
    double speechFrom = 0;       // seconds into the samples
    double speechTo = 0;
};

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitCode() == 0;
}

// BENCH_SEED=N makes other sentences and other pauses.
unsigned seed() { return unsigned(qEnvironmentVariableIntValue("BENCH_SEED")); }

std::vector<Sentence> speakSentences(const QString& folder)
{
    const QStringList words = QString("the a river city morning teacher garden window brother station market letter "
                                      "travels reads finds opens closes quickly slowly bright quiet old new small "
                                      "every after before under near across about story evening street music")
                                  .split(' ');
    const QStringList voices = {"en-gb", "en+m3", "en-gb-x-rp", "en+f2"};
    std::mt19937 random(11 + seed());
    std::vector<Sentence> sentences;
    for (int i = 0; i < 60; ++i) {
        QStringList chosen;
        const int length = 6 + int(random() % 8);
        for (int w = 0; w < length; ++w)
            chosen << words[int(random() % words.size())];
        QString text = chosen.join(' ') + ".";
        text[0] = text[0].toUpper();
        const QString wav = QDir(folder).filePath(QString("s%1.wav").arg(i));
        run("espeak-ng", {"-v", voices[i % voices.size()], "-s", QString::number(140 + random() % 50), "-w", wav, text});
        Sentence s{text, decodeAudio(wav).samples};
        size_t first = s.samples.size(), last = 0;
        for (size_t k = 0; k < s.samples.size(); ++k) {
            if (std::abs(s.samples[k]) > 0.02f) {
                first = std::min(first, k);
                last = k;
            }
        }
        s.speechFrom = double(first) / kAnalysisRate;
        s.speechTo = double(last) / kAnalysisRate;
        sentences.push_back(std::move(s));
    }
    return sentences;
}

struct Layout {
    QString text;
    std::vector<double> speechStart;  // per sentence of the text
    std::vector<double> speechEnd;    // of the part before each sentence (the intro for the first)
};

// Lays the sentences out to `minutes`, writes the WAV and the text.
Layout makeRecording(const std::vector<Sentence>& sentences, double minutes, const QString& wav, const QString& txt)
{
    std::mt19937 random(5 + seed());
    std::uniform_real_distribution<double> pause(0.3, 2.5);
    std::normal_distribution<float> noise(0, std::pow(10.0f, -40.0f / 20));
    std::vector<float> samples;
    Layout layout;
    // The intro: two sentences not in the text.
    for (int i = 0; i < 2; ++i)
        samples.insert(samples.end(), sentences[size_t(58 + i)].samples.begin(), sentences[size_t(58 + i)].samples.end());
    double previousEnd = double(samples.size()) / kAnalysisRate;
    samples.resize(samples.size() + size_t(1.0 * kAnalysisRate));
    for (size_t n = 0; double(samples.size()) / kAnalysisRate < minutes * 60; ++n) {
        const Sentence& s = sentences[n % 58];
        const double at = double(samples.size()) / kAnalysisRate;
        layout.speechStart.push_back(at + s.speechFrom);
        layout.speechEnd.push_back(previousEnd);
        previousEnd = at + s.speechTo;
        layout.text += s.text + "\n";
        samples.insert(samples.end(), s.samples.begin(), s.samples.end());
        samples.resize(samples.size() + size_t(pause(random) * kAnalysisRate));
    }
    for (float& x : samples)
        x += noise(random);
    writeMonoWav(wav, samples, kAnalysisRate);
    writeFile(txt, layout.text.toUtf8());
    return layout;
}

// The recording made before in the same folder, or a new one: the layout is
// kept beside the MP3 so that a rerun times the import alone.
Layout recordingOf(const std::vector<Sentence>& sentences, double minutes, const QString& wav, const QString& mp3,
                   const QString& txt)
{
    Layout layout;
    const QString kept = mp3 + ".layout";
    if (QFile::exists(mp3) && QFile::exists(kept)) {
        for (const QByteArray& line : readFile(kept).split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 2) {
                layout.speechStart.push_back(fields[0].toDouble());
                layout.speechEnd.push_back(fields[1].toDouble());
            }
        }
        return layout;
    }
    layout = makeRecording(sentences, minutes, wav, txt);
    run("lame", {"--quiet", "-V", "4", wav, mp3});
    QFile::remove(wav);
    QByteArray lines;
    for (size_t k = 0; k < layout.speechStart.size(); ++k)
        lines += QByteArray::number(layout.speechStart[k], 'f', 4) + ' ' + QByteArray::number(layout.speechEnd[k], 'f', 4) + '\n';
    writeFile(kept, lines);
    return layout;
}

std::vector<double> startsOf(const QString& lrc)
{
    std::vector<double> starts;
    for (const QByteArray& line : readFile(lrc).split('\n'))
        if (line.size() >= 10)
            starts.push_back(line.mid(1, 2).toInt() * 60 + line.mid(4, 5).toDouble());
    return starts;
}

void benchmark(const std::vector<Sentence>& sentences, double minutes, const QString& folder)
{
    const QString wav = QDir(folder).filePath(QString("talk%1.wav").arg(minutes));
    const QString mp3 = QDir(folder).filePath(QString("talk%1.mp3").arg(minutes));
    const QString txt = QDir(folder).filePath(QString("talk%1.txt").arg(minutes));
    const Layout layout = recordingOf(sentences, minutes, wav, mp3, txt);

    const QString data = QDir(folder).filePath(QString("data%1").arg(minutes));
    QDir(data).removeRecursively();
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        setenv("XDG_DATA_HOME", data.toLocal8Bit().constData(), 1);
        unsetenv("DISPLAY");
        const QByteArray program = LEXBAY_PROGRAM, m = mp3.toLocal8Bit(), t = txt.toLocal8Bit();
        execl(program.constData(), "Lexbay", "--import", "--volume", "bench", m.constData(), t.constData(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = clock.elapsed() / 1000.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("import of a %g min recording: failed (status %d)\n", minutes, status);
        return;
    }
    const std::vector<double> starts = startsOf(data + "/Lexbay/books/bench/tlx1001.lrc");
    int outside = 0;
    double worstBefore = 1e9, worstAfter = 1e9, worstLead = 0;
    for (size_t k = 0; k < starts.size() && k < layout.speechStart.size(); ++k) {
        const double beforeSpeech = layout.speechStart[k] - starts[k];  // ≥ 0 and ≤ 0.5 wanted
        const double afterPrevious = starts[k] - layout.speechEnd[k];   // ≥ 0 wanted
        const bool out = beforeSpeech < 0 || beforeSpeech > 0.5 || afterPrevious < 0;
        outside += out;
        if (out && qEnvironmentVariableIsSet("BENCH_DETAIL"))
            std::printf("  sentence %zu: start %.2f, its speech %.2f, previous speech ends %.2f\n", k + 1, starts[k],
                        layout.speechStart[k], layout.speechEnd[k]);
        worstBefore = std::min(worstBefore, beforeSpeech);
        worstAfter = std::min(worstAfter, afterPrevious);
        worstLead = std::max(worstLead, beforeSpeech);
    }
    // On a shared machine the wall time waits for the others; the CPU time does not.
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("import of a %g min recording (%zu sentences): %.1f s, peak memory %ld MB\n", minutes,
                starts.size(), seconds, usage.ru_maxrss / 1024);
    std::printf("  starts outside their silence: %d of %zu; smallest margin to the own speech %.0f ms, "
                "to the previous speech %.0f ms; longest lead-in %.0f ms\n",
                outside, starts.size(), worstBefore * 1000, worstAfter * 1000, worstLead * 1000);
    std::printf("  CPU time of the import (user + system): %.1f s\n", cpu);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // BENCH_FOLDER=DIR keeps the recordings there and reuses them on the next run.
    QTemporaryDir temporary;
    const QString folder = qEnvironmentVariable("BENCH_FOLDER", temporary.path());
    QDir().mkpath(folder);
    const std::vector<Sentence> sentences = speakSentences(folder);
    // BENCH_MINUTES=10 runs one length only; BENCH_DETAIL=1 names the starts outside.
    const double only = qEnvironmentVariable("BENCH_MINUTES").toDouble();
    for (double minutes : {10.0, 60.0})
        if (only == 0 || only == minutes)
            benchmark(sentences, minutes, folder);
    return 0;
}
