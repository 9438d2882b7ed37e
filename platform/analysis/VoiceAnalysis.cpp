#include "platform/analysis/VoiceAnalysis.h"

#include "platform/analysis/AubioLibrary.h"
#include "platform/analysis/MelCepstrum.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace {

// Pitch: yinfft over 64 ms (two periods of a 31 Hz voice); both it and the
// MFCC step 10 ms.
constexpr unsigned kPitchWindow = 1024;
constexpr float kLowestPitchHz = 60;
constexpr float kHighestPitchHz = 600;
// A frame is voiced when the sound around it repeats itself at the period
// found: the normalised correlation of three periods with the three after
// reaches this. Voiced speech reads 0.7–1, noise and hiss under 0.4.
// (aubio's yinfft confidence reads 0 for most voices, so it is not used.)
constexpr float kVoicedPeriodicity = 0.6f;
// How far around yinfft's period the exact one is looked for, and the least
// stretch of sound correlated.
constexpr double kPeriodSearch = 0.06;
constexpr double kCorrelationSeconds = 0.02;
// A voice run shorter than this is a stray detection, not speech.
constexpr int kShortestVoicedRun = 4;
// Speech is louder than this (dB of full scale, 10 ms RMS) somewhere; a
// take whose loudest frame stays below it holds silence or room noise.
constexpr float kSpeechFloorDb = -50;
// Leading and trailing frames more than this far below the loudest frame
// are silence around the reading.
constexpr float kTrimRangeDb = 30;
// How far from the middle of its voice a pitch may lie: a question rises by
// up to about an octave and a half, a statement falls by less than one.
constexpr float kHighestAboveMiddle = 2.5f;
constexpr float kLowestBelowMiddle = 2.0f;
// At least this much voiced sound (in frames) makes a reading.
constexpr int kFewestVoicedFrames = 10;
constexpr float kSilentDb = -200;
// The spectrum is taken of the sound brought to one loudness (its loudest
// frame at this level) over a faint steady hiss this far below it. The
// hiss fills the bands the voice leaves empty, where otherwise the
// recording's own faint noise, louder in proportion in a quiet take, would
// set the MFCC: with it, a take 12 or 24 dB quieter gives the same figures.
constexpr float kSpectrumLevelDb = -20;
constexpr float kHissBelowDb = 55;

using PitchPtr = std::unique_ptr<aubio_pitch_t, AubioDeleter<aubio_pitch_t, &AubioFunctions::deletePitch>>;

// aubio answers for the window that ends at the hop just fed; these many
// frames later than the window's middle.
int delayInFrames(unsigned window, unsigned hop) { return int(std::lround((window - hop) / 2.0 / hop)); }

void measureLevels(const std::vector<float>& samples, unsigned hop, VoiceProfile& profile)
{
    const int frames = profile.frames();
    for (int i = 0; i < frames; ++i) {
        const size_t from = size_t(i) * hop;
        const size_t to = std::min(samples.size(), from + hop);
        float peak = 0;
        double energy = 0;
        for (size_t s = from; s < to; ++s) {
            peak = std::max(peak, std::fabs(samples[s]));
            energy += double(samples[s]) * samples[s];
        }
        const double rms = to > from ? std::sqrt(energy / double(to - from)) : 0;
        profile.peaks[i] = std::min(peak, 1.0f);
        profile.levelDb[i] = rms > 0 ? float(20 * std::log10(rms)) : kSilentDb;
    }
}

// The normalised correlation of the stretch [begin, begin + length) with the
// stretch `lag` samples later: 1 for a sound that repeats after `lag`, about
// 0 for noise.
float correlationAt(const std::vector<float>& samples, long begin, long length, long lag)
{
    const long end = std::min(long(samples.size()) - lag, begin + length);
    double both = 0, early = 0, late = 0;
    for (long n = begin; n < end; ++n) {
        both += double(samples[n]) * samples[n + lag];
        early += double(samples[n]) * samples[n];
        late += double(samples[n + lag]) * samples[n + lag];
    }
    return early > 0 && late > 0 ? float(both / std::sqrt(early * late)) : 0;
}

struct Period {
    double samples = 0;
    float periodicity = 0;  // the correlation at that period
};

// yinfft's period, made exact and judged. yinfft finds the right period but
// reads long ones a little short (110 Hz as 113 Hz: its difference function
// is tapered); the best correlation of three periods around the window's
// middle within 6 % of it, interpolated between whole samples, does not.
Period refinePeriod(const std::vector<float>& samples, unsigned rate, long centre, double roughPeriod)
{
    const long shortest = std::max(2L, long(std::floor(roughPeriod * (1 - kPeriodSearch))));
    const long longest = long(std::ceil(roughPeriod * (1 + kPeriodSearch)));
    const long length = std::max(3 * longest, long(kCorrelationSeconds * rate));
    const long begin = std::max(0L, centre - length / 2);
    std::vector<float> correlation(size_t(longest - shortest + 3));
    for (long lag = shortest - 1; lag <= longest + 1; ++lag)
        correlation[size_t(lag - shortest + 1)] = correlationAt(samples, begin, length, lag);
    size_t best = 1;
    for (size_t k = 1; k + 1 < correlation.size(); ++k) {
        if (correlation[k] > correlation[best])
            best = k;
    }
    const float before = correlation[best - 1], at = correlation[best], after = correlation[best + 1];
    const float curvature = before - 2 * at + after;
    const double shift = curvature < 0 ? std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5) : 0.0;
    return {double(shortest - 1 + long(best)) + shift, at};
}

// Runs pitch tracking and MFCC over the samples hop by hop. Each result is
// stored at the frame in the middle of the window it came from.
void trackPitchAndSpectrum(const std::vector<float>& samples, unsigned rate, unsigned hop, float loudestDb,
                           VoiceProfile& profile)
{
    const float gain = std::pow(10.0f, (kSpectrumLevelDb - loudestDb) / 20);
    // Uniform noise of this half-width has the hiss's RMS.
    const float hiss = std::sqrt(3.0f) * std::pow(10.0f, (kSpectrumLevelDb - kHissBelowDb) / 20);
    std::minstd_rand noise(1);
    std::uniform_real_distribution<float> spread(-hiss, hiss);
    std::vector<float> levelled(hop);
    const AubioFunctions* aubio = aubioFunctions();
    if (!aubio)
        return;
    PitchPtr pitch(aubio->newPitch("yinfft", kPitchWindow, hop, rate));
    MelCepstrum mfcc(rate, hop, kCepstralCount);
    AubioVector input(aubio->newVector(hop));
    AubioVector pitchOut(aubio->newVector(1));
    if (!pitch || !mfcc.ok() || !input || !pitchOut)
        return;
    aubio->setPitchUnit(pitch.get(), "Hz");
    // Quiet frames are judged by level here, not by aubio's own gate.
    aubio->setPitchSilence(pitch.get(), -90);

    const int frames = profile.frames();
    const int pitchDelay = delayInFrames(kPitchWindow, hop);
    const int spectrumDelay = delayInFrames(MelCepstrum::kWindow, hop);
    const int steps = frames + std::max(pitchDelay, spectrumDelay);
    for (int step = 0; step < steps; ++step) {
        const size_t from = size_t(step) * hop;
        for (unsigned s = 0; s < hop; ++s) {
            input->data[s] = from + s < samples.size() ? samples[from + s] : 0.0f;
            levelled[s] = input->data[s] * gain + spread(noise);
        }
        aubio->pitch(pitch.get(), input.get(), pitchOut.get());
        const int pitchFrame = step - pitchDelay;
        if (pitchFrame >= 0 && pitchFrame < frames) {
            const float rough = pitchOut->data[0];
            float hz = 0;
            if (rough >= kLowestPitchHz * (1 - kPeriodSearch) && rough <= kHighestPitchHz * (1 + kPeriodSearch)) {
                const long windowCentre = long(from + hop) - long(kPitchWindow / 2);
                const Period period = refinePeriod(samples, rate, windowCentre, rate / rough);
                if (period.periodicity >= kVoicedPeriodicity)
                    hz = float(rate / period.samples);
            }
            const bool voiced = hz >= kLowestPitchHz && hz <= kHighestPitchHz;
            profile.pitchHz[pitchFrame] = voiced ? hz : 0;
        }
        CepstralFrame cepstrum;
        mfcc.step(levelled.data(), cepstrum.data());
        const int spectrumFrame = step - spectrumDelay;
        if (spectrumFrame >= 0 && spectrumFrame < frames)
            profile.cepstrum[spectrumFrame] = cepstrum;
    }
}

// Clears voicing where the frame is too quiet to be speech or the run of
// voiced frames too short, and smooths the rest with a running median of
// five within each run, which removes single-frame octave slips.
void cleanPitch(VoiceProfile& profile, float floorDb)
{
    std::vector<float>& hz = profile.pitchHz;
    const int frames = profile.frames();
    for (int i = 0; i < frames; ++i) {
        if (profile.levelDb[i] < floorDb)
            hz[i] = 0;
    }
    const std::vector<float> raw = hz;
    for (int start = 0; start < frames;) {
        if (raw[start] == 0) {
            ++start;
            continue;
        }
        int end = start;
        while (end < frames && raw[end] > 0)
            ++end;
        for (int i = start; i < end; ++i) {
            if (end - start < kShortestVoicedRun) {
                hz[i] = 0;
                continue;
            }
            float window[5];
            int n = 0;
            for (int j = std::max(start, i - 2); j <= std::min(end - 1, i + 2); ++j)
                window[n++] = raw[j];
            std::nth_element(window, window + n / 2, window + n);
            hz[i] = window[n / 2];
        }
        start = end;
    }
}

// A voice stays within about an octave of its middle pitch; a value far
// above or below it is the tracker locking onto a harmonic or a
// subharmonic (a nasal or an "r" can look periodic at four or five times
// the voice's pitch), and left in, it would swamp the intonation.
void dropStrayPitch(VoiceProfile& profile)
{
    std::vector<float> voiced;
    for (float hz : profile.pitchHz)
        if (hz > 0)
            voiced.push_back(hz);
    if (voiced.empty())
        return;
    std::nth_element(voiced.begin(), voiced.begin() + voiced.size() / 2, voiced.end());
    const float middle = voiced[voiced.size() / 2];
    for (float& hz : profile.pitchHz)
        if (hz > middle * kHighestAboveMiddle || hz < middle / kLowestBelowMiddle)
            hz = 0;
}

void findVoice(VoiceProfile& profile)
{
    const int frames = profile.frames();
    if (frames == 0)
        return;
    const float loudest = *std::max_element(profile.levelDb.begin(), profile.levelDb.end());
    // Relative to the loudest frame only, so that a quieter take is trimmed
    // and voiced exactly as a louder one.
    const float threshold = loudest - kTrimRangeDb;
    cleanPitch(profile, threshold);
    dropStrayPitch(profile);
    int first = 0;
    while (first < frames && profile.levelDb[first] < threshold)
        ++first;
    int last = frames;
    while (last > first && profile.levelDb[last - 1] < threshold)
        --last;
    profile.voiceStart = first;
    profile.voiceEnd = last;
    const auto voiced = std::count_if(profile.pitchHz.begin() + first, profile.pitchHz.begin() + last,
                                      [](float hz) { return hz > 0; });
    profile.hasVoice = loudest >= kSpeechFloorDb && voiced >= kFewestVoicedFrames;
}

}  // namespace

VoiceProfile analyseVoice(const std::vector<float>& samples, int rate)
{
    VoiceProfile profile;
    if (rate <= 0)
        return profile;
    const unsigned hop = unsigned(std::lround(rate * kFrameSeconds));
    const int frames = int((samples.size() + hop - 1) / hop);
    profile.seconds = double(samples.size()) / rate;
    profile.peaks.assign(frames, 0);
    profile.levelDb.assign(frames, kSilentDb);
    profile.pitchHz.assign(frames, 0);
    profile.cepstrum.assign(frames, CepstralFrame{});
    measureLevels(samples, hop, profile);
    const float loudest = frames > 0 ? *std::max_element(profile.levelDb.begin(), profile.levelDb.end()) : kSilentDb;
    trackPitchAndSpectrum(samples, unsigned(rate), hop, std::max(loudest, kSpeechFloorDb), profile);
    findVoice(profile);
    return profile;
}
