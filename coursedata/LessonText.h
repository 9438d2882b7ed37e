// The structure shared by the lesson text and word list files: '$' headers
// that open sections, records inside them, and an empty line that ends the
// data.
#ifndef LEXBAY_LESSONTEXT_H
#define LEXBAY_LESSONTEXT_H

#include "LineReader.h"

#include <cstdint>

namespace coursedata {

// Every course text reader reads through a 998-byte line buffer.
constexpr std::size_t kCourseLineBuffer = 998;

inline bool isHeader(const char* line) { return line[0] == '$'; }
inline bool isEmptyLine(const char* line) { return line[0] == '\r' || line[0] == '\n'; }

// Walks the records of section `index` (0 = the section opened by the first
// header; -1 = the lines before it). Each nextRecord() that returns true
// leaves the first line of a record in the reader; the caller reads the
// record's further lines itself with plain reads.
class SectionSelection {
public:
    SectionSelection(LineReader& reader, std::int32_t index) : reader_(reader), index_(index) {}

    bool nextRecord();

private:
    LineReader& reader_;
    std::int32_t index_;
    std::int32_t headersSeen_ = -1;
    bool ended_ = false;
};

// The sentence text of an English line: everything after its first full
// stop, or the whole line when it holds none.
const char* sentenceText(const char* englishLine);

}  // namespace coursedata

#endif
