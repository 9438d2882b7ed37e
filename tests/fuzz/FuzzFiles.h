#pragma once

// Scratch files for the fuzz targets: the library reads and writes files by
// name, so each input is written to a file in a folder of this process.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

inline const std::string& scratchFolder()
{
    static const std::string folder = [] {
        // In memory where the system offers it: every input is a file.
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/lexbay-fuzz-XXXXXX" : "/tmp/lexbay-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        if (made == nullptr)
            std::abort();
        std::string path = made;
        // Removed when the fuzzer exits normally.
        static struct Cleanup {
            std::string path;
            ~Cleanup() { std::system(("rm -rf '" + path + "'").c_str()); }
        } cleanup{path};
        return path;
    }();
    return folder;
}

inline std::string scratchFile(const char* name) { return scratchFolder() + "/" + name; }

inline std::string writeFile(const char* name, const uint8_t* data, std::size_t size)
{
    std::string path = scratchFile(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path;
}

inline std::string readFile(const std::string& path)
{
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
        bytes.append(block, got);
    std::fclose(file);
    return bytes;
}

// A page head like the shipped one, in a file of its own.
inline const std::string& headFile()
{
    static const std::string path = [] {
        const char head[] = "<html>\r\n<head><meta charset=\"gb18030\"></head>\r\n<body>\r\n<table>\r\n";
        return writeFile("head.txt", reinterpret_cast<const uint8_t*>(head), sizeof head - 1);
    }();
    return path;
}

inline bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every generated page ends with these lines, whatever the course file held.
constexpr const char* kPageEnd = "</table>\r\n</body>\r\n</html>\r\n";

}  // namespace fuzz
