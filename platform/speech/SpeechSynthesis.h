#pragma once

// English read by a synthetic voice (espeak-ng). The synthesiser is one per
// process; these calls take turns on it, from any thread.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>

// Hears the samples of sentence `sentence` as they are made (mono, full
// scale ±1), each sentence opened by a call with no samples; returns false
// to stop the reading.
using SpeechSink = std::function<bool(int sentence, const float* samples, size_t count)>;

// The rate of the samples the voice makes; 0 when it cannot start.
int speechRate();

// Reads the sentences one after another with `voice` at `wordsPerMinute`.
// Returns why it could not, or was stopped; empty when all was read.
QString speakSentences(const QStringList& sentences, const QString& voice, int wordsPerMinute,
                       const SpeechSink& sink);

// A word's pronunciation in IPA, without slashes; empty if there is none.
QString ipaOf(const QString& word);
