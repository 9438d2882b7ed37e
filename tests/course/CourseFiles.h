// Reading the staged program folder for the course-consistency checks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace course {

namespace fs = std::filesystem;

fs::path appDir();
fs::path booksDir();

// Volume folders of books/, sorted by name, as the program lists them.
std::vector<fs::path> volumeFolders();
bool followsVolumeNaming(const std::string& folderName);
// The volume number the program derives from a folder name.
int volumeNumber(const std::string& folderName);
// tlx + volume + three-digit lesson (from 1) + extension.
std::string recordingName(int volume, int lessonIndex, const std::string& extension);

std::string readBytes(const fs::path& file);
// Lines without their CR LF; a line lacking it keeps what it has and is listed
// in linesWithoutCrLf (1-based line numbers).
struct TextLines {
    std::vector<std::string> lines;
    std::vector<int> linesWithoutCrLf;
};
TextLines readLines(const fs::path& file);

// The 1-based line of the first byte sequence the encoding cannot hold, or
// nothing when the whole file is valid in that encoding.
std::optional<int> firstInvalidLine(const fs::path& file, const char* encoding);

// Width and height from a JPEG's frame header.
std::optional<std::pair<int, int>> jpegSize(const fs::path& file);

// What the library returns for one lesson.
std::vector<std::string> lessonTitles(const fs::path& textFile);
struct LessonPage {
    int32_t sentenceCount = 0;
    std::vector<std::string> sentences;  // English texts, trimmed of blanks and line end
};
LessonPage makeLessonPage(const fs::path& lessonFile, int lessonIndex);
int wordRowCount(const fs::path& wordFile, int lessonIndex);

std::string trimmed(const std::string& text);

}  // namespace course
