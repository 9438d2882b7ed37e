#pragma once

// Recordings the tests make with espeak-ng and sox: sentences in several
// voices (or human readings from Debian's speech-recognition test data),
// pauses, an intro and noise, with where each sentence's speech lies.

#include <QString>
#include <QStringList>

#include <vector>

// Runs a program to its end; false (and a test failure) if it does not succeed.
bool runTool(const QString& program, const QStringList& arguments);

struct SpokenPart {
    QString text;       // what is said
    QString voice;      // espeak-ng voice
    int wordsPerMinute;
    double pauseAfter;  // seconds of silence after it
    QString recorded = {};  // a recording of the text to take instead of espeak-ng's
};

struct MadeRecording {
    QString path;
    // Per part: where it begins, and where its first and last speech lie, in the recording.
    std::vector<double> partStart;
    std::vector<double> speechStart;
    std::vector<double> speechEnd;
};

// Speaks the parts one after another into `path` (WAV, 22050 Hz mono), with
// white noise `noiseDb` below full scale mixed in (none if 0).
MadeRecording makeRecording(const QString& folder, const QString& name, const std::vector<SpokenPart>& parts,
                            double noiseDb);
