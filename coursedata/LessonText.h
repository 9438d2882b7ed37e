// The structure shared by the lesson text and word list files: '$' headers
// that open sections, records inside them, and an empty line that ends the
// data.
#ifndef LEXBAY_LESSONTEXT_H
#define LEXBAY_LESSONTEXT_H

#include "LineReader.h"

#include <cstdint>
#include <string>

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

// The sentences of lesson `lessonIndex` of a lesson text file, as the lesson
// page lists them: each record's sentence text and the line after it, its
// Chinese line, read without a test so the pairing never shifts. Both keep
// their line ends. The page and the program's course model both read lessons
// through this, so they always see the same sentences.
class SentenceReader {
public:
    SentenceReader(const char* lessonFile, std::int32_t lessonIndex)
        : reader_(lessonFile, kCourseLineBuffer), selection_(reader_, lessonIndex)
    {
    }

    bool isOpen() const { return reader_.isOpen(); }
    // Moves to the next sentence; false after the last.
    bool next();
    const char* english() const { return english_.c_str(); }
    // Empty when the file ends right after the English line.
    const char* chinese() { return hasChinese_ ? reader_.line() : ""; }

private:
    LineReader reader_;
    SectionSelection selection_;
    std::string english_;
    bool hasChinese_ = false;
};

// The entries of section `lessonIndex` of a word list file, as the word page
// lists them: each record's word line and the two lines after it, phonetic
// and meaning, read without a test; an entry cut short by the end of the file
// gets empty texts.
class WordEntryReader {
public:
    WordEntryReader(const char* wordFile, std::int32_t lessonIndex)
        : reader_(wordFile, kCourseLineBuffer), selection_(reader_, lessonIndex)
    {
    }

    // Moves to the next entry; false after the last.
    bool next();
    const char* word() const { return word_.c_str(); }
    const char* phonetic() const { return phonetic_.c_str(); }
    const char* meaning() { return hasMeaning_ ? reader_.line() : ""; }

private:
    LineReader reader_;
    SectionSelection selection_;
    std::string word_;
    std::string phonetic_;
    bool hasMeaning_ = false;
};

}  // namespace coursedata

#endif
