#include "platform/analysis/MelCepstrum.h"

#include "platform/analysis/AubioLibrary.h"

#include <algorithm>

namespace {

using VocoderPtr = std::unique_ptr<aubio_pvoc_t, AubioDeleter<aubio_pvoc_t, &AubioFunctions::deleteVocoder>>;
using MfccPtr = std::unique_ptr<aubio_mfcc_t, AubioDeleter<aubio_mfcc_t, &AubioFunctions::deleteMfcc>>;
using SpectrumPtr = std::unique_ptr<cvec_t, AubioDeleter<cvec_t, &AubioFunctions::deleteSpectrum>>;

}  // namespace

struct MelCepstrum::Analysis {
    Analysis(unsigned rate, unsigned hop, int count) : aubio(aubioFunctions()), hop(hop), count(count)
    {
        if (!aubio)
            return;
        vocoder.reset(aubio->newVocoder(kWindow, hop));
        mfcc.reset(aubio->newMfcc(kWindow, kMelFilters, unsigned(count) + 1, rate));
        input.reset(aubio->newVector(hop));
        spectrum.reset(aubio->newSpectrum(kWindow));
        cepstrum.reset(aubio->newVector(unsigned(count) + 1));
    }

    const AubioFunctions* aubio;
    unsigned hop;
    int count;
    VocoderPtr vocoder;
    MfccPtr mfcc;
    AubioVector input;
    SpectrumPtr spectrum;
    AubioVector cepstrum;
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
    a.aubio->vocode(a.vocoder.get(), a.input.get(), a.spectrum.get());
    a.aubio->mfcc(a.mfcc.get(), a.spectrum.get(), a.cepstrum.get());
    std::copy(a.cepstrum->data + 1, a.cepstrum->data + 1 + a.count, coefficients);
}
