#include "WavFiles.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

void appendLe32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendLe16(QByteArray& bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

}  // namespace

WavLayout readWavLayout(const QString& path)
{
    WavLayout layout;
    const QByteArray bytes = readFile(path);
    layout.fileSize = bytes.size();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return layout;
    layout.riff = true;
    layout.riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
    qint64 at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (id == "fmt ")
            layout.fmtBody = bytes.mid(at + 8, size);
        if (id == "data") {
            layout.hasData = true;
            layout.dataSize = size;
            layout.dataEnd = at + 8 + size;
        }
        at += 8 + size + (size & 1);
    }
    return layout;
}

QByteArray blankWav(const WavFormat& format)
{
    const quint16 blockAlign = format.channels * format.bitsPerSample / 8;
    QByteArray bytes("RIFF");
    appendLe32(bytes, 36);
    bytes.append("WAVEfmt ");
    appendLe32(bytes, 16);
    appendLe16(bytes, 1);
    appendLe16(bytes, format.channels);
    appendLe32(bytes, format.sampleRate);
    appendLe32(bytes, format.sampleRate * blockAlign);
    appendLe16(bytes, blockAlign);
    appendLe16(bytes, format.bitsPerSample);
    bytes.append("data");
    appendLe32(bytes, 0);
    return bytes;
}

void writeMonoWav(const QString& path, const std::vector<float>& samples, int rate)
{
    const WavFormat format{1, rate, 16};
    QByteArray bytes = blankWav(format);
    const quint32 dataSize = quint32(samples.size() * 2);
    qToLittleEndian(quint32(36 + dataSize), bytes.data() + 4);
    qToLittleEndian(dataSize, bytes.data() + 40);
    for (float s : samples)
        appendLe16(bytes, quint16(qint16(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767))));
    writeFile(path, bytes);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void addMusicBed(std::vector<float>* samples, int rate, double level)
{
    const std::vector<std::vector<double>> chords = {
        {261.6, 329.6, 392.0}, {196.0, 246.9, 293.7}, {220.0, 261.6, 329.6}, {174.6, 220.0, 261.6}};
    std::vector<float> bed(samples->size());
    for (size_t i = 0; i < bed.size(); ++i) {
        const double t = double(i) / double(rate);
        const double inChord = std::fmod(t, 1.6);
        const std::vector<double>& chord = chords[size_t(t / 1.6) % chords.size()];
        double x = 0;
        for (double f : chord)
            x += (std::sin(2 * M_PI * f * t) + 0.4 * std::sin(4 * M_PI * f * t)) * std::exp(-1.2 * inChord)
                 * std::min(1.0, inChord / 0.02);
        const double inBeat = std::fmod(t, 0.4);
        x += 1.5 * std::sin(2 * M_PI * 60 * t) * std::exp(-inBeat / 0.08);
        bed[i] = float(x);
    }
    double sum = 0;
    for (float x : bed)
        sum += double(x) * x;
    const double scale = bed.empty() || sum == 0 ? 0 : level / std::sqrt(sum / double(bed.size()));
    for (size_t i = 0; i < bed.size(); ++i)
        (*samples)[i] += float(bed[i] * scale);
}
