// What a real decoder finds in a recording.
#pragma once

#include <filesystem>
#include <string>

namespace course {

struct Mp3Facts {
    bool readable = false;
    std::string error;
    double durationSeconds = 0;
    unsigned sampleRate = 0;
    unsigned channels = 0;
};

Mp3Facts probeMp3(const std::filesystem::path& file);

}  // namespace course
