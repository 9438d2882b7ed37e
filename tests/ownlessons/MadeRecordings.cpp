#include "MadeRecordings.h"

#include "platform/analysis/AudioDecoding.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <cmath>

bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
                      && process.exitCode() == 0;
    EXPECT_TRUE(done) << program.toStdString() << " " << arguments.join(' ').toStdString() << ": "
                      << process.readAllStandardError().toStdString();
    return done;
}

namespace {

// Where the samples are louder than a whisper: [first, last] in seconds.
std::pair<double, double> speechExtent(const QString& wav, float whisper)
{
    const DecodedAudio audio = decodeAudio(wav);
    size_t first = 0, last = 0;
    bool any = false;
    for (size_t i = 0; i < audio.samples.size(); ++i) {
        if (std::abs(audio.samples[i]) > whisper) {
            first = any ? first : i;
            last = i;
            any = true;
        }
    }
    return {double(first) / kAnalysisRate, double(last) / kAnalysisRate};
}

}  // namespace

MadeRecording makeRecording(const QString& folder, const QString& name, const std::vector<SpokenPart>& parts,
                            double noiseDb)
{
    MadeRecording made;
    QStringList pieces;
    double at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const SpokenPart& part = parts[i];
        const QString spoken = QDir(folder).filePath(QString("%1-%2.wav").arg(name).arg(i));
        const QString piece = QDir(folder).filePath(QString("%1-%2r.wav").arg(name).arg(i));
        if (part.recorded.isEmpty())
            runTool("espeak-ng", {"-v", part.voice, "-s", QString::number(part.wordsPerMinute), "-w", spoken, part.text});
        else
            QFile::copy(part.recorded, spoken);
        runTool("sox", {spoken, "-r", "22050", "-c", "1", piece, "pad", "0", QString::number(part.pauseAfter)});
        const auto [first, last] = speechExtent(spoken, part.recorded.isEmpty() ? 0.02f : 0.05f);
        made.partStart.push_back(at);
        made.speechStart.push_back(at + first);
        made.speechEnd.push_back(at + last);
        at += decodeAudio(piece).seconds();
        pieces << piece;
    }
    const QString clean = QDir(folder).filePath(name + "-clean.wav");
    made.path = QDir(folder).filePath(name + ".wav");
    runTool("sox", pieces + QStringList{clean});
    if (noiseDb == 0) {
        QFile::rename(clean, made.path);
        return made;
    }
    const QString noise = QDir(folder).filePath(name + "-noise.wav");
    runTool("sox", {"-R", "-n", "-r", "22050", "-c", "1", noise, "synth", QString::number(at), "whitenoise", "vol",
                    QString::number(noiseDb) + "dB"});
    runTool("sox", {"-m", "-v", "1", clean, "-v", "1", noise, made.path});
    return made;
}
