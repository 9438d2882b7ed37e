// The splitter of a learner's lesson text: any bytes are decoded and cut
// into sentences; every sentence must hold text and nothing but its own.

#include "ownlessons/TextSplitter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString text = decodeLessonText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    for (const LessonSentence& sentence : splitLessonText(text)) {
        if (sentence.english.isEmpty() || sentence.english.contains('\n') || sentence.chinese.contains('\n'))
            std::abort();
        endsSentence(sentence.english);
    }
    return 0;
}
