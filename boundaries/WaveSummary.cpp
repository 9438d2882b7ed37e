#include "boundaries/WaveSummary.h"

#include "platform/analysis/AudioDecoding.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

const char kMagic[] = "LXWAVE1";
// Blocks of a few seconds: a long recording is never held whole.
constexpr double kBlockSeconds = 4;

int16_t level(double sample) { return int16_t(std::lround(std::clamp(sample, -1.0, 1.0) * 32767)); }

// Frame by frame, whatever size the blocks come in.
class Summariser {
public:
    explicit Summariser(WaveSummary& summary) : summary_(summary) {}

    void add(const float* samples, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            const float s = samples[i];
            low_ = std::min(low_, s);
            high_ = std::max(high_, s);
            squares_ += double(s) * s;
            if (++filled_ == WaveSummary::kFrameSamples)
                close();
        }
    }

    void finish()
    {
        if (filled_ > 0)
            close();
    }

private:
    void close()
    {
        summary_.low.push_back(level(low_));
        summary_.high.push_back(level(high_));
        summary_.rms.push_back(level(std::sqrt(squares_ / filled_)));
        low_ = 1;
        high_ = -1;
        squares_ = 0;
        filled_ = 0;
    }

    WaveSummary& summary_;
    float low_ = 1, high_ = -1;
    double squares_ = 0;
    int filled_ = 0;
};

// The cache file of a recording: named by its path, holding its size and time.
QString cacheFileOf(const QFileInfo& recording, const QString& cacheFolder)
{
    const QByteArray key = QCryptographicHash::hash(recording.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return QDir(cacheFolder).filePath(QString::fromLatin1(key.toHex().left(24)) + ".wave");
}

bool readCache(const QString& file, const QFileInfo& recording, WaveSummary* summary)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QDataStream stream(&in);
    QByteArray magic;
    qint64 size = 0, modified = 0;
    qint32 frames = 0;
    stream >> magic >> size >> modified >> frames;
    if (stream.status() != QDataStream::Ok || magic != kMagic || size != recording.size() ||
        modified != recording.lastModified().toMSecsSinceEpoch() || frames < 0 ||
        in.size() - in.pos() != qint64(frames) * 3 * qint64(sizeof(int16_t)))
        return false;
    for (std::vector<int16_t>* column : {&summary->low, &summary->high, &summary->rms}) {
        column->resize(size_t(frames));
        stream.readRawData(reinterpret_cast<char*>(column->data()), frames * int(sizeof(int16_t)));
    }
    return stream.status() == QDataStream::Ok;
}

void writeCache(const QString& file, const QFileInfo& recording, const WaveSummary& summary)
{
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return;
    QDataStream stream(&out);
    stream << QByteArray(kMagic) << qint64(recording.size()) << qint64(recording.lastModified().toMSecsSinceEpoch())
           << qint32(summary.frames());
    for (const std::vector<int16_t>* column : {&summary.low, &summary.high, &summary.rms})
        stream.writeRawData(reinterpret_cast<const char*>(column->data()), summary.frames() * int(sizeof(int16_t)));
    out.commit();
}

}  // namespace

std::pair<int16_t, int16_t> WaveSummary::peaks(int from, int to) const
{
    from = std::max(from, 0);
    to = std::min(to, frames());
    if (from >= to)
        return {0, 0};
    return {*std::min_element(low.begin() + from, low.begin() + to),
            *std::max_element(high.begin() + from, high.begin() + to)};
}

WaveSummary summariseRecording(const QString& recording)
{
    WaveSummary summary;
    Summariser summariser(summary);
    summary.error = streamAudio(recording, kBlockSeconds, [&](const float* samples, size_t count) {
        summariser.add(samples, count);
        return true;
    });
    summariser.finish();
    if (!summary.ok()) {
        summary.low.clear();
        summary.high.clear();
        summary.rms.clear();
    }
    return summary;
}

WaveSummary cachedWaveSummary(const QString& recording, const QString& cacheFolder)
{
    const QFileInfo info(recording);
    const QString cache = cacheFileOf(info, cacheFolder);
    WaveSummary summary;
    if (info.isFile() && readCache(cache, info, &summary))
        return summary;
    summary = summariseRecording(recording);
    if (summary.ok())
        writeCache(cache, info, summary);
    return summary;
}
