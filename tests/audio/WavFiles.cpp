#include "WavFiles.h"

#include <QFile>
#include <QtEndian>

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
