#include "platform/analysis/ReadingScore.h"

#include "platform/analysis/Alignment.h"
#include "platform/analysis/MelCepstrum.h"

#include <algorithm>
#include <cmath>

namespace {

// Fewer voiced frames paired along the alignment than this say nothing about
// the intonation.
constexpr int kFewestPitchPairs = 20;

// The voiced part's MFCC with each coefficient's mean over the part taken
// away: what stays is the shape of the sounds, free of the loudness and the
// colour of the microphone or the room.
std::vector<CepstralFrame> normalisedCepstrum(const VoiceProfile& profile)
{
    std::vector<CepstralFrame> frames(profile.cepstrum.begin() + profile.voiceStart,
                                      profile.cepstrum.begin() + profile.voiceEnd);
    subtractMean(frames);
    return frames;
}

// The pitch in semitones from the voice's own median, so that a lower or
// higher voice reading the same tune gives the same contour; 0 where
// unvoiced is marked by `voiced`.
std::vector<double> relativePitch(const VoiceProfile& profile, std::vector<bool>& voiced)
{
    std::vector<double> semitones;
    std::vector<float> heard;
    for (int i = profile.voiceStart; i < profile.voiceEnd; ++i) {
        if (profile.pitchHz[i] > 0)
            heard.push_back(profile.pitchHz[i]);
    }
    voiced.assign(profile.voiceEnd - profile.voiceStart, false);
    semitones.assign(voiced.size(), 0);
    if (heard.empty())
        return semitones;
    std::nth_element(heard.begin(), heard.begin() + heard.size() / 2, heard.end());
    const double median = heard[heard.size() / 2];
    for (int i = profile.voiceStart; i < profile.voiceEnd; ++i) {
        const float hz = profile.pitchHz[i];
        if (hz > 0) {
            voiced[i - profile.voiceStart] = true;
            semitones[i - profile.voiceStart] = 12 * std::log2(hz / median);
        }
    }
    return semitones;
}

// Pearson correlation of the two contours at the aligned frames where both
// are voiced; 0 when too few such frames.
double pitchCorrelation(const VoiceProfile& recording, const VoiceProfile& take, const Alignment& aligned)
{
    std::vector<bool> voicedA, voicedB;
    const std::vector<double> a = relativePitch(recording, voicedA);
    const std::vector<double> b = relativePitch(take, voicedB);
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    int n = 0;
    for (const auto& [i, j] : aligned.path) {
        if (!voicedA[i] || !voicedB[j])
            continue;
        sa += a[i];
        sb += b[j];
        saa += a[i] * a[i];
        sbb += b[j] * b[j];
        sab += a[i] * b[j];
        ++n;
    }
    if (n < kFewestPitchPairs)
        return 0;
    const double covariance = sab - sa * sb / n;
    const double spread = std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
    return spread > 0 ? covariance / spread : 0;
}

int similarityFromDistance(double d)
{
    // 100 / (1 + (d / d50)^4): 100 for no distance, half marks at d50 = 2.6,
    // about where the nearest readings of different sentences begin. As
    // measured (bench/analysis) on the eight sentences of the sample course's
    // first lesson, the recording's sentence against takes made from it:
    //   the same reading, or it 0.8x slower or 1.25x faster   d 0.00-0.61  ->  100
    //   it played into a microphone in a small room           d 1.05-1.42  ->  92-97
    //   the same sentence in another voice (en-us)            d 0.88-1.42  ->  92-99
    //   the same sentence in a female voice (en+f3)           d 1.73-1.95  ->  76-83
    //   the next sentence in the same voice                   d 2.73-3.65  ->  20-45 (median 37)
    // A take 12 dB quieter gives the same distance.
    constexpr double d50 = 2.6;
    const double ratio = std::max(0.0, d) / d50;
    return int(std::lround(100 / (1 + ratio * ratio * ratio * ratio)));
}

int intonationFromCorrelation(double r)
{
    // The correlation itself, in hundredths; a contour that goes against the
    // recording's (r < 0) scores 0 like one that does not follow it at all.
    // Measured as above: the same sentence in another voice 0.82-0.99,
    // the next sentence 0-0.75 (median 0.37).
    return int(std::lround(100 * std::clamp(r, 0.0, 1.0)));
}

}  // namespace

ReadingScore scoreReading(const VoiceProfile& recording, const VoiceProfile& take)
{
    ReadingScore score;
    score.takeHasVoice = take.hasVoice;
    if (!take.hasVoice || !recording.hasVoice)
        return score;
    const Alignment aligned = alignFrames(normalisedCepstrum(recording), normalisedCepstrum(take));
    if (aligned.path.empty())
        return score;
    score.scored = true;
    score.cepstralDistance = aligned.meanDistance;
    score.pitchCorrelation = pitchCorrelation(recording, take, aligned);
    score.similarity = similarityFromDistance(score.cepstralDistance);
    score.intonation = intonationFromCorrelation(score.pitchCorrelation);
    return score;
}
