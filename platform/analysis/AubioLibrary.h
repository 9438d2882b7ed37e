#pragma once

// aubio's functions, read from its library the first time they are wanted.
// The library links libav's codecs and formats, a chain of some sixty
// libraries that takes 40-50 ms to load: linked to the program, the start
// waited for it before anything else, though a lesson shown needs none of it
// and the analyses that do take seconds.

#include <QString>

#include <aubio/aubio.h>

#include <memory>

struct AubioFunctions {
    decltype(&new_fvec) newVector;
    decltype(&del_fvec) deleteVector;
    decltype(&new_cvec) newSpectrum;
    decltype(&del_cvec) deleteSpectrum;
    decltype(&new_aubio_pvoc) newVocoder;
    decltype(&del_aubio_pvoc) deleteVocoder;
    decltype(&aubio_pvoc_do) vocode;
    decltype(&new_aubio_mfcc) newMfcc;
    decltype(&del_aubio_mfcc) deleteMfcc;
    decltype(&aubio_mfcc_do) mfcc;
    decltype(&new_aubio_pitch) newPitch;
    decltype(&del_aubio_pitch) deletePitch;
    decltype(&aubio_pitch_set_unit) setPitchUnit;
    decltype(&aubio_pitch_set_silence) setPitchSilence;
    decltype(&aubio_pitch_do) pitch;
};

// The functions, loaded once by whichever thread asks first; null when the
// library or one of them cannot be found.
const AubioFunctions* aubioFunctions();
// Why aubioFunctions() is null, for the learner; empty when it is not.
QString aubioProblem();

// Frees an aubio object through the function `Delete` names.
template <typename T, auto Delete>
struct AubioDeleter {
    void operator()(T* object) const { (aubioFunctions()->*Delete)(object); }
};

// The vector both analyses hand aubio their samples in.
using AubioVector = std::unique_ptr<fvec_t, AubioDeleter<fvec_t, &AubioFunctions::deleteVector>>;
