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
