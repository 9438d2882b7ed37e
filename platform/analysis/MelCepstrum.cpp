#include "platform/analysis/MelCepstrum.h"

#include <aubio/aubio.h>

#include <algorithm>

namespace {

template <typename T, void (*Delete)(T*)>
struct AubioDeleter {
    void operator()(T* p) const { Delete(p); }
};
using VocoderPtr = std::unique_ptr<aubio_pvoc_t, AubioDeleter<aubio_pvoc_t, del_aubio_pvoc>>;
using MfccPtr = std::unique_ptr<aubio_mfcc_t, AubioDeleter<aubio_mfcc_t, del_aubio_mfcc>>;
using VectorPtr = std::unique_ptr<fvec_t, AubioDeleter<fvec_t, del_fvec>>;
using SpectrumPtr = std::unique_ptr<cvec_t, AubioDeleter<cvec_t, del_cvec>>;

}  // namespace

struct MelCepstrum::Analysis {
    Analysis(unsigned rate, unsigned hop, int count)
        : hop(hop), count(count), vocoder(new_aubio_pvoc(kWindow, hop)),
          mfcc(new_aubio_mfcc(kWindow, kMelFilters, unsigned(count) + 1, rate)), input(new_fvec(hop)),
          spectrum(new_cvec(kWindow)), cepstrum(new_fvec(unsigned(count) + 1))
    {
    }

    unsigned hop;
    int count;
    VocoderPtr vocoder;
    MfccPtr mfcc;
    VectorPtr input;
    SpectrumPtr spectrum;
    VectorPtr cepstrum;
};

MelCepstrum::MelCepstrum(unsigned rate, unsigned hop, int count) : analysis_(new Analysis(rate, hop, count)) {}

MelCepstrum::~MelCepstrum() = default;

bool MelCepstrum::ok() const
{
    const Analysis& a = *analysis_;
    return a.vocoder && a.mfcc && a.input && a.spectrum && a.cepstrum;
}

void MelCepstrum::step(const float* hop, float* coefficients)
{
    if (!ok())
        return;
    Analysis& a = *analysis_;
    std::copy(hop, hop + a.hop, a.input->data);
    aubio_pvoc_do(a.vocoder.get(), a.input.get(), a.spectrum.get());
    aubio_mfcc_do(a.mfcc.get(), a.spectrum.get(), a.cepstrum.get());
    std::copy(a.cepstrum->data + 1, a.cepstrum->data + 1 + a.count, coefficients);
}
