#pragma once

// Recordings the import bench makes from Debian's packages, with where each
// sentence's speech lies and, where the voice tells, each word's start:
// espeak-ng voices, festival's and flite's voices at a fast rate, and the
// human readings of pocketsphinx's test data.

#include <QString>
#include <QStringList>

#include <vector>

struct BenchSentence {
    QString text;
    std::vector<float> samples;     // at kAnalysisRate
    double speechFrom = 0;          // seconds into the samples
    double speechTo = 0;
    std::vector<double> wordStarts; // seconds into the samples, one per written word; empty when unknown
};

struct BenchRecording {
    QString name;
    QString mp3;
    QString text;                    // the text file, one sentence a line
    std::vector<double> speechStart;  // per sentence of the text
    std::vector<double> speechEnd;    // of the part before each sentence (an intro for the first)
    std::vector<std::vector<double>> wordStarts;  // per sentence; empty when unknown
};

// Where the bench keeps its recordings: BENCH_FOLDER (kept and reused on
// the next run), else `temporary`; made if missing.
QString benchFolder(const QString& temporary);

// Runs a program; false when it fails.
bool runProgram(const QString& program, const QStringList& arguments);

// Sentences of prose made from a seed (numbers, abbreviations and names among them).
QStringList proseSentences(int count, unsigned seed);

// Each sentence spoken by one of `voices` of espeak-ng at 140–190 words a minute.
std::vector<BenchSentence> espeakSentences(const QStringList& texts, const QStringList& voices, const QString& folder,
                                           unsigned seed);
// Spoken by festival (voice "kal_diphone", "ked_diphone", "cmu_us_slt_arctic_hts") at `stretch`
// of its own pace, with each word's start.
std::vector<BenchSentence> festivalSentences(const QStringList& texts, const QString& voice, double stretch,
                                             const QString& folder);
// Spoken by flite (voice "awb", "rms", "slt", "kal16") at `stretch`.
std::vector<BenchSentence> fliteSentences(const QStringList& texts, const QString& voice, double stretch,
                                          const QString& folder);
// The human readings of pocketsphinx's test data in `folder` (a transcription file beside them).
std::vector<BenchSentence> testDataReadings(const QString& folder);

struct Layout {
    double firstPause = 1.0, pauseFrom = 0.3, pauseTo = 2.5;  // seconds
    double noiseDb = -40;
    int introSentences = 0;  // the first sentences are spoken but not in the text
    double minutes = 0;      // 0: each sentence once
    unsigned seed = 5;
    // A learner's conditions, none by default: steady noise and a
    // music-like bed this many dB under the speech's level; sox effects
    // (a room's reverb, a telephone's band, a level) and the file's sample
    // rate; an MP3 of this many kbit/s (0: lame's variable rate).
    unsigned noiseSeed = 0;  // another noise of the same level (0: drawn with the pauses)
    double noiseUnderSpeechDb = 0;
    double bedUnderSpeechDb = 0;
    QStringList soxEffects;
    int rate = 0;
    int mp3Kbps = 0;
};

// The sentences laid out with pauses, noise mixed in, encoded to MP3 by
// lame; kept in `folder` and made again only when missing.
BenchRecording layOut(const QString& name, const std::vector<BenchSentence>& sentences, const Layout& layout,
                      const QString& folder);
