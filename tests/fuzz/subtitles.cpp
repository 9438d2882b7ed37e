// The subtitle readers and the translation by overlap. The first byte picks the format and whether cues
// are merged; the rest is the file. A reading either fails with a message
// or gives sentences with text and starts in order.

#include "ownlessons/SubtitleReader.h"
#include "ownlessons/SubtitleTranslation.h"
#include "ownlessons/TextSplitter.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const SubtitleFormat formats[] = {SubtitleFormat::SubRip, SubtitleFormat::WebVtt, SubtitleFormat::Lyrics,
                                             SubtitleFormat::Ass};
    const SubtitleFormat format = formats[data[0] % 4];
    const bool merge = data[0] & 4;
    const QString text = decodeLessonText(QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
    SubtitleReading reading = readSubtitles(text, format, merge);
    if (!reading.error.isEmpty())
        return 0;
    // The file's cues as a translation of its own sentences.
    translateByOverlap(reading.sentences, readSubtitleCues(text, format).cues);
    double previous = 0;
    for (const LessonSentence& sentence : reading.sentences) {
        if (sentence.english.isEmpty() || !std::isfinite(sentence.start) || sentence.start < previous)
            std::abort();
        previous = sentence.start;
    }
    return 0;
}
