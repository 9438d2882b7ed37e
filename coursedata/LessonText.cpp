#include "LessonText.h"

#include <cstring>

namespace coursedata {

bool SectionSelection::nextRecord()
{
    while (!ended_) {
        if (!reader_.next() || isEmptyLine(reader_.line())) {
            // The data ends at the first empty line of the file, even when
            // it lies before the wanted section.
            ended_ = true;
            break;
        }
        const char* line = reader_.line();
        if (headersSeen_ < index_) {
            if (isHeader(line))
                ++headersSeen_;
            continue;
        }
        if (headersSeen_ == index_) {
            if (isHeader(line)) {
                ended_ = true;
                break;
            }
            return true;
        }
        // Past the wanted section: only reachable for indices below -1.
    }
    return false;
}

const char* sentenceText(const char* englishLine)
{
    const char* stop = std::strchr(englishLine, '.');
    return stop != nullptr ? stop + 1 : englishLine;
}

bool SentenceReader::next()
{
    if (!selection_.nextRecord())
        return false;
    english_.assign(sentenceText(reader_.line()));
    hasChinese_ = reader_.next();
    return true;
}

bool WordEntryReader::next()
{
    if (!selection_.nextRecord())
        return false;
    word_.assign(reader_.line());
    phonetic_.assign(reader_.next() ? reader_.line() : "");
    hasMeaning_ = reader_.next();
    return true;
}

}  // namespace coursedata
