#include "LineReader.h"

#include <cstring>

namespace coursedata {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
}

LineReader::LineReader(const char* path, std::size_t lineBufferSize)
    : line_(lineBufferSize, '\0'), block_(kBlockSize)
{
    if (path != nullptr && lineBufferSize > 1)
        file_ = std::fopen(path, "rb");
}

LineReader::~LineReader()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

bool LineReader::refill()
{
    if (eof_)
        return false;
    // Keep the unread tail at the front of the block.
    std::size_t tail = blockEnd_ - blockPos_;
    std::memmove(block_.data(), block_.data() + blockPos_, tail);
    blockPos_ = 0;
    blockEnd_ = tail;
    std::size_t got = std::fread(block_.data() + tail, 1, block_.size() - tail, file_);
    if (got == 0)
        eof_ = true;
    blockEnd_ += got;
    return got > 0;
}

bool LineReader::next()
{
    if (file_ == nullptr)
        return false;
    const std::size_t maxBytes = line_.size() - 1;
    if (blockEnd_ - blockPos_ < maxBytes)
        refill();
    std::size_t available = blockEnd_ - blockPos_;
    if (available == 0)
        return false;

    std::size_t window = available < maxBytes ? available : maxBytes;
    const char* start = block_.data() + blockPos_;
    const void* lf = std::memchr(start, '\n', window);
    std::size_t take = lf != nullptr ? static_cast<const char*>(lf) - start + 1 : window;

    std::memcpy(line_.data(), start, take);
    line_[take] = '\0';
    length_ = take;
    blockPos_ += take;
    return true;
}

void LineReader::clearLine()
{
    std::memset(line_.data(), 0, line_.size());
    length_ = 0;
}

}  // namespace coursedata
