#include "platform/speech/SpeechSynthesis.h"

#include <QMutex>
#include <QMutexLocker>

#include <espeak-ng/speak_lib.h>

#include <vector>

namespace {

// espeak-ng keeps global state: every call goes through this lock.
QMutex& synthLock()
{
    static QMutex lock;
    return lock;
}

int initialisedRate()
{
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    return rate > 0 ? rate : 0;
}

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

int speechRate()
{
    QMutexLocker locked(&synthLock());
    return initialisedRate();
}

QString speakSentences(const QStringList& sentences, const QString& voice, int wordsPerMinute,
                       const SpeechSink& sink)
{
    QMutexLocker locked(&synthLock());
    if (initialisedRate() == 0 || espeak_SetVoiceByName(voice.toUtf8().constData()) != EE_OK)
        return QStringLiteral("无法启动语音合成（espeak-ng 的“%1”语音）").arg(voice);
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetSynthCallback(&hearSamples);
    Reading reading{&sink, 0, false, {}};
    for (int i = 0; i < sentences.size() && !reading.stopped; ++i) {
        reading.sentence = i;
        if (!sink(i, nullptr, 0))
            return QStringLiteral("已取消");
        const QByteArray text = sentences.at(i).toUtf8();
        espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     &reading);
    }
    return reading.stopped ? QStringLiteral("已取消") : QString();
}

QString ipaOf(const QString& word)
{
    QMutexLocker locked(&synthLock());
    if (initialisedRate() == 0 || espeak_SetVoiceByName("en") != EE_OK)
        return {};
    const QByteArray text = word.toUtf8();
    const void* cursor = text.constData();
    QString ipa;
    while (cursor) {
        const char* phonemes = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, espeakPHONEMES_IPA);
        if (!phonemes)
            break;
        ipa += QString::fromUtf8(phonemes);
    }
    return ipa.trimmed();
}
