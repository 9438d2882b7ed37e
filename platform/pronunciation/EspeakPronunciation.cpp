#include "platform/pronunciation/EspeakPronunciation.h"

#include "platform/speech/EspeakEngine.h"

#include <espeak-ng/speak_lib.h>

#include <QStringList>

#include <utility>

namespace {

// espeak-ng's American English phonemes and the model's phones for each.
// Longer names come first so that "aI@" is read before "aI" and "a".
const std::pair<const char*, const char*> kPhonemes[] = {
    {"aI@", "AY ER"}, {"aI3", "AY ER"}, {"aU@", "AW ER"}, {"i@3", "IH R"},
    {"tS", "CH"}, {"dZ", "JH"}, {"aI", "AY"}, {"aU", "AW"}, {"eI", "EY"}, {"OI", "OY"}, {"oU", "OW"},
    {"@U", "OW"}, {"@L", "AH L"}, {"3:", "ER"}, {"A:", "AA"}, {"A@", "AA R"}, {"i:", "IY"},
    {"i@", "IY R"}, {"e@", "EH R"}, {"O:", "AO"}, {"O@", "AO R"}, {"o@", "AO R"}, {"U@", "UH R"},
    {"u:", "UW"}, {"a#", "AH"}, {"I#", "IH"}, {"I2", "IH"}, {"@2", "AH"}, {"@5", "AH"}, {"aa", "AE"},
    {"t#", "T"}, {"r-", "R"}, {"l/", "L"},
    {"p", "P"}, {"b", "B"}, {"t", "T"}, {"d", "D"}, {"k", "K"}, {"g", "G"}, {"f", "F"}, {"v", "V"},
    {"T", "TH"}, {"D", "DH"}, {"s", "S"}, {"z", "Z"}, {"S", "SH"}, {"Z", "ZH"}, {"h", "HH"},
    {"m", "M"}, {"n", "N"}, {"N", "NG"}, {"l", "L"}, {"r", "R"}, {"w", "W"}, {"j", "Y"},
    {"a", "AE"}, {"@", "AH"}, {"3", "ER"}, {"e", "EH"}, {"E", "EH"}, {"i", "IY"}, {"I", "IH"},
    {"O", "AO"}, {"0", "AA"}, {"U", "UH"}, {"u", "UW"}, {"V", "AH"},
};

// The acoustic model's English is American.
const char* const kModelVoice = "en-us";

}  // namespace

QString modelPhonesFromEspeak(const QString& espeakPhonemes)
{
    const QByteArray text = espeakPhonemes.toLatin1();
    QStringList phones;
    for (int at = 0; at < text.size();) {
        bool matched = false;
        for (const auto& [name, model] : kPhonemes) {
            const int length = int(qstrlen(name));
            if (text.mid(at, length) == name) {
                phones << model;
                at += length;
                matched = true;
                break;
            }
        }
        // Stress marks, syllable and length signs carry no phone.
        if (!matched)
            ++at;
    }
    return phones.join(' ');
}

QString espeakPronunciation(const QString& word)
{
    const QByteArray utf8 = word.toUtf8();
    QString phonemes;
    espeakengine::use(kModelVoice, [&] {
        const void* text = utf8.constData();
        // Each call returns the phonemes of one clause and moves `text` on.
        while (text) {
            const char* clause = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, 0);
            if (clause)
                phonemes += QString::fromLatin1(clause);
        }
    });
    return modelPhonesFromEspeak(phonemes);
}
