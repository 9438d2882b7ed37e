#include "SpokenSentences.h"

#include <QProcess>

bool SpokenSentences::speak(const QString& name, const QString& voice, const QString& text)
{
    return run("espeak-ng", {"-v", voice, "-s", "150", "-w", path(name), text});
}

bool SpokenSentences::sox(const QString& name, const QString& source, const QStringList& effects)
{
    // -D: no dither, so the same input gives the same file.
    return run("sox", QStringList{"-D", path(source), path(name)} + effects);
}

bool SpokenSentences::synthesise(const QString& name, const QStringList& effects)
{
    return run("sox", QStringList{"-D", "-n", "-r", "16000", "-c", "1", "-b", "16", path(name)} + effects);
}

bool SpokenSentences::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    if (!ok)
        lastError = program + ": " + process.errorString() + " " + QString::fromLocal8Bit(process.readAll());
    return ok;
}
