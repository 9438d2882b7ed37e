#include "CourseFiles.h"

#include "lexbaydll.h"

#include <algorithm>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <sstream>

namespace course {

namespace {

const std::string kVolumePrefix = "Trellis英语";
const std::string kEnglishCellStart = "class = \"yaowen\">";
const std::string kCellEnd = "</a></td>";

fs::path scratchPage(const char* name) {
    return fs::temp_directory_path() / (std::string("lexbay-course-") + name);
}

void appendTitle(void* list, const char* title) {
    static_cast<std::vector<std::string>*>(list)->push_back(title);
}

std::vector<std::string> pageLines(const fs::path& page) {
    std::vector<std::string> lines;
    std::istringstream text(readBytes(page));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

}  // namespace

fs::path appDir() { return LEXBAY_STAGED_APP_DIR; }

fs::path booksDir() { return appDir() / "books"; }

std::vector<fs::path> volumeFolders() {
    std::vector<fs::path> folders;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(booksDir(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kVolumePrefix, 0) == 0 && name.find('.') == std::string::npos) {
            folders.push_back(entry.path());
        }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

bool followsVolumeNaming(const std::string& folderName) {
    return folderName.rfind(kVolumePrefix, 0) == 0 && folderName.size() > kVolumePrefix.size() &&
           folderName.find('.') == std::string::npos;
}

int volumeNumber(const std::string& folderName) {
    for (char digit : std::string("1234")) {
        if (folderName.find(digit) != std::string::npos) return digit - '0';
    }
    return 1;
}

std::string recordingName(int volume, int lessonIndex, const std::string& extension) {
    char lesson[16];
    std::snprintf(lesson, sizeof lesson, "%03d", lessonIndex + 1);
    return "tlx" + std::to_string(volume) + lesson + extension;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TextLines readLines(const fs::path& file) {
    TextLines result;
    const std::string bytes = readBytes(file);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool complete = end != std::string::npos && end > start && bytes[end - 1] == '\r';
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (complete) line.pop_back();
        result.lines.push_back(line);
        if (!complete) result.linesWithoutCrLf.push_back(static_cast<int>(result.lines.size()));
        start = end + 1;
    }
    return result;
}

std::optional<int> firstInvalidLine(const fs::path& file, const char* encoding) {
    std::string bytes = readBytes(file);
    iconv_t converter = iconv_open("UTF-8", encoding);
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    std::string out(bytes.size() * 4 + 16, '\0');
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result != static_cast<std::size_t>(-1)) return std::nullopt;
    return 1 + static_cast<int>(std::count(bytes.data(), in, '\n'));
}

std::optional<std::pair<int, int>> jpegSize(const fs::path& file) {
    const std::string bytes = readBytes(file);
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    if (bytes.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return std::nullopt;
    std::size_t at = 2;
    while (at + 9 < bytes.size() && byte(at) == 0xFF) {
        const unsigned char marker = byte(at + 1);
        const std::size_t length = byte(at + 2) << 8 | byte(at + 3);
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                 marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
            return std::make_pair(byte(at + 7) << 8 | byte(at + 8), byte(at + 5) << 8 | byte(at + 6));
        }
        at += 2 + length;
    }
    return std::nullopt;
}

std::vector<std::string> lessonTitles(const fs::path& textFile) {
    std::vector<std::string> titles;
    dllFillLsLesson(textFile.c_str(), &titles, appendTitle);
    return titles;
}

LessonPage makeLessonPage(const fs::path& lessonFile, int lessonIndex) {
    const fs::path page = scratchPage("lesson.htm");
    LessonPage result;
    result.sentenceCount = dllMakeHtml((appDir() / "htmlhead.txt").c_str(), lessonFile.c_str(),
                                       page.c_str(), lessonIndex, 0);
    // The sentence text keeps its line end, so each English cell spans two page lines.
    const std::string pageText = readBytes(page);
    for (std::size_t at = pageText.find(kEnglishCellStart); at != std::string::npos;
         at = pageText.find(kEnglishCellStart, at)) {
        at += kEnglishCellStart.size();
        const std::size_t end = pageText.find(kCellEnd, at);
        result.sentences.push_back(trimmed(pageText.substr(at, end - at)));
    }
    fs::remove(page);
    return result;
}

int wordRowCount(const fs::path& wordFile, int lessonIndex) {
    const fs::path page = scratchPage("words.htm");
    dllMakeHtmlWords((appDir() / "htmlheadwords.txt").c_str(), wordFile.c_str(), page.c_str(),
                     lessonIndex);
    const std::vector<std::string> lines = pageLines(page);
    fs::remove(page);
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("<tr>", 0) == 0;
    }));
}

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace course
