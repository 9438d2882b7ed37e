#include "platform/speech/SpeechSynthesis.h"

#include "platform/speech/EspeakEngine.h"

#include <espeak-ng/speak_lib.h>

#include <vector>

namespace {

// The voice whose pronunciation a word list's IPA gives.
const char* const kIpaVoice = "en";

struct Reading {
    const SpeechSink* sink;
    int sentence;
    bool stopped;
    std::vector<float> buffer;
};

// espeak-ng's synth callback: a piece of samples; returning 1 aborts.
int hearSamples(short* wave, int count, espeak_EVENT* events)
{
    auto* reading = static_cast<Reading*>(events->user_data);
    if (reading == nullptr || wave == nullptr || count <= 0)
        return reading && reading->stopped ? 1 : 0;
    reading->buffer.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        reading->buffer[size_t(i)] = wave[i] / 32768.0f;
    reading->stopped = !(*reading->sink)(reading->sentence, reading->buffer.data(), size_t(count));
    return reading->stopped ? 1 : 0;
}

}  // namespace

int speechRate() { return espeakengine::sampleRate(); }

QString speakSentences(const QStringList& sentences, const QString& voice, int wordsPerMinute,
                       const SpeechSink& sink)
{
    Reading reading{&sink, 0, false, {}};
    const bool started = espeakengine::use(voice.toUtf8().constData(), [&] {
        espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
        espeak_SetSynthCallback(&hearSamples);
        for (int i = 0; i < sentences.size() && !reading.stopped; ++i) {
            reading.sentence = i;
            reading.stopped = !sink(i, nullptr, 0);
            if (reading.stopped)
                break;
            const QByteArray text = sentences.at(i).toUtf8();
            espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                         &reading);
        }
    });
    if (!started)
        return QStringLiteral("无法启动语音合成（espeak-ng 的“%1”语音）").arg(voice);
    return reading.stopped ? QStringLiteral("已取消") : QString();
}

QString ipaOf(const QString& word)
{
    const QByteArray text = word.toUtf8();
    QString ipa;
    espeakengine::use(kIpaVoice, [&] {
        const void* cursor = text.constData();
        while (cursor) {
            const char* phonemes = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, espeakPHONEMES_IPA);
            if (!phonemes)
                break;
            ipa += QString::fromUtf8(phonemes);
        }
    });
    return ipa.trimmed();
}
