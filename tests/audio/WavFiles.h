#pragma once

#include "platform/audio/WavFormat.h"

#include <QByteArray>
#include <QString>

#include <vector>

// What the tests read back from a wave file, chunk by chunk.
struct WavLayout {
    bool riff = false;
    qint64 fileSize = 0;
    quint32 riffSize = 0;
    QByteArray fmtBody;
    bool hasData = false;
    quint32 dataSize = 0;
    qint64 dataEnd = 0;
};

WavLayout readWavLayout(const QString& path);

// A PCM wave file with the given format and no samples, like the shipped
// blank template.
QByteArray blankWav(const WavFormat& format);
// Writes a 16-bit mono wave file of the samples (full scale ±1).
void writeMonoWav(const QString& path, const std::vector<float>& samples, int rate);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Mixes a bed of music under the samples (at `rate`), at an RMS of `level`:
// a chord every 1.6 s (I–V–vi–IV, each note with its octave), struck and
// fading, over a soft low beat every 0.4 s.
void addMusicBed(std::vector<float>* samples, int rate, double level);
