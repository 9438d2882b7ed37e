// Writing generated pages: raw bytes and the row templates.
#ifndef LEXBAY_PAGEWRITER_H
#define LEXBAY_PAGEWRITER_H

#include <cstdint>
#include <cstdio>

namespace coursedata {

class PageWriter {
public:
    // Creates the file, or empties it when it exists.
    explicit PageWriter(const char* path);
    ~PageWriter();
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Writes a zero-terminated text as it stands.
    void write(const char* text);

    // Writes a row template: "%d" becomes number in decimal, "%s" becomes
    // text, "%%" becomes one percent sign, every other byte stays. Texts of
    // any length are written whole.
    void writeTemplate(const char* tmpl, std::int32_t number = 0, const char* text = "");

    // Copies every line of a file into the page; a file that cannot be opened
    // adds nothing.
    void copyFile(const char* path);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace coursedata

#endif
