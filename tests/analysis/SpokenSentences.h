#pragma once

// Readings made for the tests: espeak-ng speaks, sox stretches, softens or
// makes silence and noise. Files go into a folder that lives as long as the
// object.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SpokenSentences {
public:
    // Says `text` in `voice` into <name>.wav; false (with the tool's output
    // in lastError) when the tool failed.
    bool speak(const QString& name, const QString& voice, const QString& text);
    // Runs sox on <source>.wav into <name>.wav with the effects given.
    bool sox(const QString& name, const QString& source, const QStringList& effects);
    // sox making <name>.wav from nothing (`-n`), at 16 kHz mono.
    bool synthesise(const QString& name, const QStringList& effects);

    QString path(const QString& name) const { return dir_.filePath(name + ".wav"); }
    QString lastError;

private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir dir_;
};
