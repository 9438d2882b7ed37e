#include "platform/analysis/SpeechFeatures.h"

#include "platform/analysis/AudioDecoding.h"

#include <QElapsedTimer>

#include <aubio/aubio.h>

#include <cmath>
#include <memory>

namespace {

constexpr unsigned kWindow = 512;
constexpr unsigned kMelFilters = 40;
// Pieces of a file decoded at once: ten minutes are 38 MB of samples; each
// piece costs a seek.
constexpr double kPieceSeconds = 600;

}  // namespace

// Frames from samples fed in any amounts, at 100 per second.
struct SpeechFeatureStream::Analysis {
    explicit Analysis(int rate)
        : hop_(unsigned(rate / 100)), vocoder_(new_aubio_pvoc(kWindow, hop_), del_aubio_pvoc),
          mfcc_(new_aubio_mfcc(kWindow, kMelFilters, kSpeechCepstra + 1, unsigned(rate)), del_aubio_mfcc),
          input_(new_fvec(hop_), del_fvec), spectrum_(new_cvec(kWindow), del_cvec),
          cepstrum_(new_fvec(kSpeechCepstra + 1), del_fvec)
    {
    }

    void feed(const float* samples, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            input_->data[filled_++] = samples[i];
            if (filled_ == hop_)
                frame();
        }
    }

    int frames() const { return int(features_.levelDb.size()); }

    SpeechFeatures finish()
    {
        removeMean();
        return std::move(features_);
    }

    void frame()
    {
        filled_ = 0;
        double energy = 0;
        for (unsigned i = 0; i < hop_; ++i)
            energy += double(input_->data[i]) * input_->data[i];
        features_.levelDb.push_back(float(10 * std::log10(energy / hop_ + 1e-12)));
        aubio_pvoc_do(vocoder_.get(), input_.get(), spectrum_.get());
        aubio_mfcc_do(mfcc_.get(), spectrum_.get(), cepstrum_.get());
        SpeechCepstrum c;
        for (int k = 0; k < kSpeechCepstra; ++k)
            c[k] = std::isfinite(cepstrum_->data[k + 1]) ? cepstrum_->data[k + 1] : 0.0f;
        features_.cepstrum.push_back(c);
    }

    void removeMean()
    {
        const size_t n = features_.cepstrum.size();
        if (n == 0)
            return;
        SpeechCepstrum mean{};
        for (const SpeechCepstrum& c : features_.cepstrum)
            for (int k = 0; k < kSpeechCepstra; ++k)
                mean[k] += c[k] / float(n);
        for (SpeechCepstrum& c : features_.cepstrum)
            for (int k = 0; k < kSpeechCepstra; ++k)
                c[k] -= mean[k];
    }

    unsigned hop_;
    std::unique_ptr<aubio_pvoc_t, void (*)(aubio_pvoc_t*)> vocoder_;
    std::unique_ptr<aubio_mfcc_t, void (*)(aubio_mfcc_t*)> mfcc_;
    std::unique_ptr<fvec_t, void (*)(fvec_t*)> input_;
    std::unique_ptr<cvec_t, void (*)(cvec_t*)> spectrum_;
    std::unique_ptr<fvec_t, void (*)(fvec_t*)> cepstrum_;
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
        if (!piece.ok() && start > 0 && stream.frames() * 0.01 + 0.05 >= start)
            break;
        if (!piece.ok())
            return {{}, {}, piece.error};
        stream.feed(piece.samples.data(), piece.samples.size());
        if (alsoHear)
            alsoHear(piece.samples.data(), piece.samples.size());
        if (progress)
            progress(start + piece.seconds());
        // The last piece is the one the file's end cuts short.
        if (piece.samples.size() + kAnalysisRate / 100 < fullPiece)
            break;
    }
    return stream.finish();
}
