#include "platform/audio/WavFormat.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr quint16 kPcmFormatTag = 1;
constexpr int kRiffHeaderSize = 12;
constexpr int kChunkHeaderSize = 8;
constexpr int kPcmFmtSize = 16;

bool isSupported(const WavFormat& format)
{
    return (format.bitsPerSample == 8 || format.bitsPerSample == 16) && (format.channels == 1 || format.channels == 2)
        && format.sampleRate >= 8000 && format.sampleRate <= 192000;
}

std::optional<WavFormat> parseFmt(const QByteArray& body)
{
    if (body.size() < kPcmFmtSize)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(body.constData());
    if (qFromLittleEndian<quint16>(bytes) != kPcmFormatTag)
        return std::nullopt;
    WavFormat format;
    format.channels = qFromLittleEndian<quint16>(bytes + 2);
    format.sampleRate = static_cast<int>(qFromLittleEndian<quint32>(bytes + 4));
    format.bitsPerSample = qFromLittleEndian<quint16>(bytes + 14);
    if (!isSupported(format))
        return std::nullopt;
    return format;
}

}  // namespace

QString WavFormat::capsDescription() const
{
    // 8-bit wave data is unsigned, 16-bit is signed little-endian.
    const char* sampleFormat = bitsPerSample == 8 ? "U8" : "S16LE";
    return QStringLiteral("audio/x-raw,format=%1,layout=interleaved,rate=%2,channels=%3")
        .arg(QLatin1String(sampleFormat))
        .arg(sampleRate)
        .arg(channels);
}

std::optional<WavFormat> readWavFormat(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray riff = file.read(kRiffHeaderSize);
    if (riff.size() != kRiffHeaderSize || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;
    // Walk the chunks: a template may carry other chunks before `fmt `.
    while (!file.atEnd()) {
        const QByteArray header = file.read(kChunkHeaderSize);
        if (header.size() != kChunkHeaderSize)
            return std::nullopt;
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (header.startsWith("fmt "))
            return parseFmt(file.read(qMin<quint32>(size, 64)));
        // Chunks are padded to an even size.
        if (!file.seek(file.pos() + size + (size & 1)))
            return std::nullopt;
    }
    return std::nullopt;
}
