#include "PageWriter.h"

#include "LineReader.h"

#include <cstdio>

namespace coursedata {

namespace {
// Page heads are read through the same line buffer as the course texts.
constexpr std::size_t kLineBuffer = 998;
}

PageWriter::PageWriter(const char* path)
{
    if (path != nullptr)
        file_ = std::fopen(path, "wb");
}

PageWriter::~PageWriter()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

void PageWriter::write(const char* text)
{
    if (file_ != nullptr && text != nullptr)
        std::fputs(text, file_);
}

void PageWriter::writeTemplate(const char* tmpl, std::int32_t number, const char* text)
{
    if (file_ == nullptr)
        return;
    for (const char* p = tmpl; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            std::fprintf(file_, "%d", static_cast<int>(number));
            ++p;
        } else if (p[0] == '%' && p[1] == 's') {
            write(text);
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            std::fputc('%', file_);
            ++p;
        } else {
            std::fputc(*p, file_);
        }
    }
}

void PageWriter::copyFile(const char* path)
{
    LineReader head(path, kLineBuffer);
    while (head.next())
        write(head.line());
}

}  // namespace coursedata
