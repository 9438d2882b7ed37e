#include "platform/analysis/SpeechFeatures.h"

#include "platform/analysis/AubioLibrary.h"
#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/MelCepstrum.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

namespace {

// Samples analysed at a time while the decoder goes on: both analyses work on
// one block, side by side, while the next few seconds are decoded.
constexpr double kBlockSeconds = 5;
// A file's own length may be an estimate (an MP3 without a frame count):
// room is made for a little more.
constexpr double kLengthMargin = 1.02;

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

    void reserve(double seconds)
    {
        const size_t frames = size_t(std::max(0.0, seconds) / kFrameSeconds) + 1;
        features_.levelDb.reserve(frames);
        features_.cepstrum.reserve(frames);
    }

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

void SpeechFeatureStream::reserve(double seconds) { analysis_->reserve(seconds); }

SpeechFeatures SpeechFeatureStream::finish() { return analysis_->finish(); }

SpeechFeatures speechFeatures(const std::vector<float>& samples, int rate)
{
    SpeechFeatureStream stream(rate);
    stream.feed(samples.data(), samples.size());
    return stream.finish();
}

SpeechFeatures speechFeaturesOfFile(const QString& path, double timeLimitSeconds,
                                    const std::function<void(double)>& progress, const std::atomic_bool* cancel,
                                    const std::function<void(const float*, size_t)>& alsoHear,
                                    const std::function<void(double)>& lengthKnown)
{
    if (const QString problem = aubioProblem(); !problem.isEmpty())
        return {{}, {}, problem};
    SpeechFeatureStream stream(kAnalysisRate);
    QElapsedTimer clock;
    clock.start();
    QString stopped;
    size_t heard = 0;
    const auto length = [&](double seconds) {
        const double room = seconds * kLengthMargin + 1;
        stream.reserve(room);
        if (lengthKnown)
            lengthKnown(room);
    };
    const QString error = streamAudio(
        path, kBlockSeconds,
        [&](const float* samples, size_t count) {
            if (cancel && *cancel) {
                stopped = QStringLiteral("已取消");
                return false;
            }
            if (clock.elapsed() > timeLimitSeconds * 1000) {
                stopped = QStringLiteral("“%1”解码超过 %2 秒，已放弃").arg(path).arg(timeLimitSeconds);
                return false;
            }
            // The second analysis hears the block on a thread of its own
            // while this one makes the features: each keeps its own state,
            // and both only read the samples.
            std::thread hearing;
            if (alsoHear)
                hearing = std::thread([&alsoHear, samples, count] { alsoHear(samples, count); });
            stream.feed(samples, count);
            if (hearing.joinable())
                hearing.join();
            heard += count;
            if (progress)
                progress(double(heard) / kAnalysisRate);
            return true;
        },
        length);
    if (!stopped.isEmpty())
        return {{}, {}, stopped};
    if (!error.isEmpty())
        return {{}, {}, error};
    return stream.finish();
}
