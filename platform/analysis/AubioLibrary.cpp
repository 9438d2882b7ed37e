#include "platform/analysis/AubioLibrary.h"

#include <dlfcn.h>

namespace {

// One function of the library into `slot`; false when it lacks it.
template <typename Function>
bool resolve(void* library, const char* name, Function* slot)
{
    *slot = reinterpret_cast<Function>(dlsym(library, name));
    return *slot != nullptr;
}

QString loadProblem;  // written once, where the functions are loaded

bool load(AubioFunctions* f)
{
    void* library = dlopen(LEXBAY_AUBIO_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        loadProblem = QStringLiteral("无法载入语音分析库 %1：%2").arg(LEXBAY_AUBIO_LIBRARY, QString::fromLocal8Bit(dlerror()));
        return false;
    }
    // The library stays loaded for the process's life: the functions are kept.
    const bool complete = resolve(library, "new_fvec", &f->newVector) && resolve(library, "del_fvec", &f->deleteVector)
           && resolve(library, "new_cvec", &f->newSpectrum) && resolve(library, "del_cvec", &f->deleteSpectrum)
           && resolve(library, "new_aubio_pvoc", &f->newVocoder)
           && resolve(library, "del_aubio_pvoc", &f->deleteVocoder) && resolve(library, "aubio_pvoc_do", &f->vocode)
           && resolve(library, "new_aubio_mfcc", &f->newMfcc) && resolve(library, "del_aubio_mfcc", &f->deleteMfcc)
           && resolve(library, "aubio_mfcc_do", &f->mfcc) && resolve(library, "new_aubio_pitch", &f->newPitch)
           && resolve(library, "del_aubio_pitch", &f->deletePitch)
           && resolve(library, "aubio_pitch_set_unit", &f->setPitchUnit)
           && resolve(library, "aubio_pitch_set_silence", &f->setPitchSilence)
           && resolve(library, "aubio_pitch_do", &f->pitch);
    if (!complete)
        loadProblem = QStringLiteral("语音分析库 %1 缺少所需的函数").arg(LEXBAY_AUBIO_LIBRARY);
    return complete;
}

}  // namespace

const AubioFunctions* aubioFunctions()
{
    static AubioFunctions functions;
    static const bool loaded = load(&functions);
    return loaded ? &functions : nullptr;
}

QString aubioProblem()
{
    return aubioFunctions() ? QString() : loadProblem;
}
