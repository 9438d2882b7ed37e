#include "platform/analysis/SpeechFeatures.h"

#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/MelCepstrum.h"

#include <QElapsedTimer>

#include <cmath>
#include <memory>
#include <thread>

namespace {

// Pieces of a file decoded at once: ten minutes are 38 MB of samples; each
// piece costs a seek.
constexpr double kPieceSeconds = 600;

}  // namespace

// Frames from samples fed in any amounts, at 100 per second.
struct SpeechFeatureStream::Analysis {
    explicit Analysis(int rate)
        : hop_(unsigned(rate / 100)), mfcc_(unsigned(rate), hop_, kSpeechCepstra), input_(hop_)
    {
    }

    void feed(const float* samples, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            input_[filled_++] = samples[i];
            if (filled_ == hop_)
                frame();
        }
    }

    int frames() const { return int(features_.levelDb.size()); }

    SpeechFeatures finish()
    {
        subtractMean(features_.cepstrum);
        return std::move(features_);
    }

    void frame()
    {
        filled_ = 0;
        double energy = 0;
        for (unsigned i = 0; i < hop_; ++i)
            energy += double(input_[i]) * input_[i];
        features_.levelDb.push_back(float(10 * std::log10(energy / hop_ + 1e-12)));
        SpeechCepstrum c{};
        mfcc_.step(input_.data(), c.data());
        for (float& k : c)
            k = std::isfinite(k) ? k : 0.0f;
        features_.cepstrum.push_back(c);
    }

    unsigned hop_;
    MelCepstrum mfcc_;
    std::vector<float> input_;
    unsigned filled_ = 0;
    SpeechFeatures features_;
};

SpeechFeatureStream::SpeechFeatureStream(int rate) : analysis_(new Analysis(rate)) {}

SpeechFeatureStream::~SpeechFeatureStream() { delete analysis_; }

void SpeechFeatureStream::feed(const float* samples, size_t count) { analysis_->feed(samples, count); }

int SpeechFeatureStream::frames() const { return analysis_->frames(); }

SpeechFeatures SpeechFeatureStream::finish() { return analysis_->finish(); }

SpeechFeatures speechFeatures(const std::vector<float>& samples, int rate)
{
    SpeechFeatureStream stream(rate);
    stream.feed(samples.data(), samples.size());
    return stream.finish();
}

SpeechFeatures speechFeaturesOfFile(const QString& path, double timeLimitSeconds,
                                    const std::function<void(double)>& progress, const std::atomic_bool* cancel,
                                    const std::function<void(const float*, size_t)>& alsoHear)
{
    SpeechFeatureStream stream(kAnalysisRate);
    QElapsedTimer clock;
    clock.start();
    const size_t fullPiece = size_t(kPieceSeconds * kAnalysisRate);
    for (double start = 0;; start += kPieceSeconds) {
        if (cancel && *cancel)
            return {{}, {}, QStringLiteral("已取消")};
        if (clock.elapsed() > timeLimitSeconds * 1000)
            return {{}, {}, QStringLiteral("“%1”解码超过 %2 秒，已放弃").arg(path).arg(timeLimitSeconds)};
        const DecodedAudio piece = decodeAudio(path, start, start + kPieceSeconds);
        // A file of whole minutes ends where the next piece would begin.
        if (!piece.ok() && start > 0 && stream.frames() * kFrameSeconds + 0.05 >= start)
            break;
        if (!piece.ok())
            return {{}, {}, piece.error};
        // The second analysis hears the piece on a thread of its own while
        // this one makes the features: each keeps its own state, and both
        // only read the samples.
        std::thread hearing;
        if (alsoHear)
            hearing = std::thread([&alsoHear, &piece] { alsoHear(piece.samples.data(), piece.samples.size()); });
        stream.feed(piece.samples.data(), piece.samples.size());
        if (hearing.joinable())
            hearing.join();
        if (progress)
            progress(start + piece.seconds());
        // The last piece is the one the file's end cuts short.
        if (piece.samples.size() + kAnalysisRate / 100 < fullPiece)
            break;
    }
    return stream.finish();
}
