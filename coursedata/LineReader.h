// Line-by-line reading of course files as raw bytes.
#ifndef LEXBAY_LINEREADER_H
#define LEXBAY_LINEREADER_H

#include <cstddef>
#include <cstdio>
#include <vector>

namespace coursedata {

// Course text files are read through a line buffer of a fixed size: one read
// yields the bytes up to and including the next line feed, but never more than
// the buffer size less one. A longer line therefore arrives in pieces, each of
// which is taken as a line of its own. The line end stays part of the line and
// no character set conversion happens.
//
// The reader keeps a large block of the file in memory and copies each line
// into a zero-terminated line buffer, so callers see exactly what a read into
// such a buffer would give them, at block-read speed.
class LineReader {
public:
    LineReader(const char* path, std::size_t lineBufferSize);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Reads the next line into the line buffer. Returns false at the end of
    // the file (or when the file is not open); the buffer is then left as it
    // was.
    bool next();

    // The line buffer: the bytes of the last line read followed by a zero.
    // Writable, because some readers mark field ends in place.
    char* line() { return line_.data(); }
    // Number of bytes the last read delivered (it may hold zero bytes, which
    // string functions on line() would stop at).
    std::size_t length() const { return length_; }

    // Fills the whole line buffer with zeros.
    void clearLine();

private:
    bool refill();

    std::FILE* file_ = nullptr;
    std::vector<char> line_;
    std::size_t length_ = 0;
    std::vector<char> block_;
    std::size_t blockPos_ = 0;
    std::size_t blockEnd_ = 0;
    bool eof_ = false;
};

}  // namespace coursedata

#endif
