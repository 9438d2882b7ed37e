// Guards the shipped course and the files beside the program: every check
// reads the staged program folder, through the course-data library where the
// program itself would.
#include "CourseFiles.h"
#include "Mp3Probe.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <set>

using namespace course;

namespace {

constexpr int kFewestWords = 4;
constexpr int kMostWords = 10;
constexpr std::size_t kStampLength = 10;  // "[mm:ss.xx]"

std::string at(const fs::path& file, int line) { return file.string() + ":" + std::to_string(line); }

bool isLessonHeader(const std::string& line) { return !line.empty() && line[0] == '$'; }

bool hasSentenceLabel(const std::string& englishLine) {
    std::size_t digits = 0;
    while (digits < englishLine.size() && std::isdigit(static_cast<unsigned char>(englishLine[digits]))) {
        ++digits;
    }
    return digits > 0 && englishLine.compare(digits, 2, ". ") == 0;
}

bool isStamp(const std::string& line) {
    static const std::string layout = "[dd:dd.dd]";
    if (line.size() < kStampLength) return false;
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool digitWanted = layout[i] == 'd';
        if (digitWanted ? !std::isdigit(static_cast<unsigned char>(line[i])) : line[i] != layout[i]) {
            return false;
        }
    }
    return true;
}

bool isTranscription(const std::string& line) {
    return line.size() > 2 && ((line.front() == '/' && line.back() == '/') ||
                               (line.front() == '[' && line.back() == ']'));
}

// A course text file: lines end in CR LF, an empty line may only close the
// file, and every byte belongs to the file's encoding.
void expectCleanText(const fs::path& file, const char* encoding) {
    ASSERT_TRUE(fs::is_regular_file(file)) << file << " is missing";
    const TextLines text = readLines(file);
    for (int line : text.linesWithoutCrLf) ADD_FAILURE() << at(file, line) << ": line does not end in CR LF";
    for (std::size_t i = 0; i + 1 < text.lines.size(); ++i) {
        if (text.lines[i].empty()) {
            ADD_FAILURE() << at(file, static_cast<int>(i + 1))
                          << ": empty line inside the data; the lessons after it are never shown";
        }
    }
    if (const auto line = firstInvalidLine(file, encoding)) {
        ADD_FAILURE() << at(file, *line) << ": not valid " << encoding;
    }
}

// Line counts of the entries of each words.txt section, with where each section starts.
struct WordSection {
    int headerLine = 0;
    std::vector<std::string> lines;
};

std::vector<WordSection> wordSections(const fs::path& file) {
    std::vector<WordSection> sections;
    const TextLines text = readLines(file);
    for (std::size_t i = 0; i < text.lines.size() && !text.lines[i].empty(); ++i) {
        if (isLessonHeader(text.lines[i])) {
            sections.push_back({static_cast<int>(i + 1), {}});
        } else if (!sections.empty()) {
            sections.back().lines.push_back(text.lines[i]);
        }
    }
    return sections;
}

}  // namespace

TEST(CourseFolder, HoldsOnlyWellNamedVolumesWithTheirOwnNumbers) {
    ASSERT_TRUE(fs::is_directory(booksDir())) << booksDir() << " is missing";
    std::set<int> numbers;
    for (const auto& entry : fs::directory_iterator(booksDir())) {
        const std::string name = entry.path().filename().string();
        if (name[0] == '.') continue;
        EXPECT_TRUE(entry.is_directory()) << entry.path() << " is not a volume folder";
        EXPECT_TRUE(followsVolumeNaming(name)) << entry.path() << " does not follow Trellis英语<name> without '.'";
        EXPECT_TRUE(numbers.insert(volumeNumber(name)).second)
            << entry.path() << " gets volume number " << volumeNumber(name)
            << " like another volume, so their recordings would share names";
    }
    EXPECT_FALSE(volumeFolders().empty()) << "no volume folder in " << booksDir();
}

TEST(LessonText, IsCleanGb2312WithALabelOnEveryEnglishLine) {
    for (const fs::path& volume : volumeFolders()) {
        const fs::path file = volume / "lesson.txt";
        expectCleanText(file, "GB2312");
        const TextLines text = readLines(file);
        bool englishNext = true;
        for (std::size_t i = 0; i < text.lines.size() && !text.lines[i].empty(); ++i) {
            const std::string& line = text.lines[i];
            if (isLessonHeader(line) && englishNext) continue;
            if (englishNext) {
                EXPECT_TRUE(hasSentenceLabel(line))
                    << at(file, static_cast<int>(i + 1)) << ": English line without its \"N. \" label: " << line;
            }
            englishNext = !englishNext;
        }
        EXPECT_TRUE(englishNext) << file << ": the last English line has no Chinese line";
    }
}

TEST(WordList, HasOneSectionPerLessonWithFourToTenEntries) {
    for (const fs::path& volume : volumeFolders()) {
        const fs::path lessonFile = volume / "lesson.txt";
        const fs::path wordFile = volume / "words.txt";
        expectCleanText(wordFile, "GB18030");
        EXPECT_EQ(lessonTitles(wordFile), lessonTitles(lessonFile))
            << wordFile << " and " << lessonFile << " must list the same lessons in the same order";

        const std::vector<WordSection> sections = wordSections(wordFile);
        for (std::size_t k = 0; k < sections.size(); ++k) {
            const WordSection& section = sections[k];
            const int entries = static_cast<int>(section.lines.size() / 3);
            EXPECT_EQ(section.lines.size() % 3, 0u)
                << at(wordFile, section.headerLine) << ": entries must be word, transcription, meaning";
            EXPECT_GE(entries, kFewestWords) << at(wordFile, section.headerLine);
            EXPECT_LE(entries, kMostWords) << at(wordFile, section.headerLine);
            for (std::size_t line = 1; line < section.lines.size(); line += 3) {
                EXPECT_TRUE(isTranscription(section.lines[line]))
                    << at(wordFile, section.headerLine + 1 + static_cast<int>(line))
                    << ": transcription not between slashes or brackets: " << section.lines[line];
            }
            EXPECT_EQ(wordRowCount(wordFile, static_cast<int>(k)), entries)
                << at(wordFile, section.headerLine) << ": the word page does not show every entry";
        }
    }
}

TEST(Recordings, EveryLessonHasItsMp3AndLrc) {
    for (const fs::path& volume : volumeFolders()) {
        const int number = volumeNumber(volume.filename().string());
        const std::size_t lessons = lessonTitles(volume / "lesson.txt").size();
        EXPECT_GT(lessons, 0u) << volume / "lesson.txt" << " has no lesson";
        for (std::size_t k = 0; k < lessons; ++k) {
            for (const char* extension : {".mp3", ".lrc"}) {
                const fs::path file = volume / recordingName(number, static_cast<int>(k), extension);
                EXPECT_TRUE(fs::is_regular_file(file)) << file << " is missing";
            }
        }
    }
}

// One lesson's timing file against its sentences (as the lesson page shows
// them) and against its recording (as a real decoder reads it).
void expectLessonTiming(const fs::path& volume, int lessonIndex) {
    const int number = volumeNumber(volume.filename().string());
    const fs::path lessonFile = volume / "lesson.txt";
    const fs::path timing = volume / recordingName(number, lessonIndex, ".lrc");
    const fs::path recording = volume / recordingName(number, lessonIndex, ".mp3");
    const LessonPage page = makeLessonPage(lessonFile, lessonIndex);
    ASSERT_GT(page.sentenceCount, 0) << "lesson " << lessonIndex + 1 << " of " << lessonFile << " has no sentence";

    const TextLines lines = readLines(timing);
    ASSERT_EQ(lines.lines.size(), static_cast<std::size_t>(page.sentenceCount))
        << timing << " needs one line per sentence of lesson " << lessonIndex + 1;
    for (int line : lines.linesWithoutCrLf) ADD_FAILURE() << at(timing, line) << ": no CR LF";
    for (std::size_t i = 0; i < lines.lines.size(); ++i) {
        const std::string& line = lines.lines[i];
        const int lineNumber = static_cast<int>(i + 1);
        EXPECT_TRUE(isStamp(line)) << at(timing, lineNumber) << ": does not begin with [mm:ss.xx]";
        EXPECT_EQ(line.substr(std::min(line.size(), kStampLength)), page.sentences.at(i))
            << at(timing, lineNumber) << ": not the sentence of the lesson (re-run make-sample-course?)";
    }

    std::vector<double> times(page.sentenceCount + 2, 0.0);
    EXPECT_EQ(dllReadAllTimeInfo(timing.c_str(), times.data(), static_cast<int32_t>(times.size())),
              page.sentenceCount);
    for (int i = 1; i < page.sentenceCount; ++i) {
        EXPECT_LT(times[i - 1], times[i]) << at(timing, i + 1) << ": start not after the one before";
    }

    const Mp3Facts facts = probeMp3(recording);
    ASSERT_TRUE(facts.readable) << recording << ": " << facts.error;
    EXPECT_EQ(facts.sampleRate, 44100u) << recording;
    EXPECT_EQ(facts.channels, 1u) << recording;
    EXPECT_LT(times[page.sentenceCount - 1], facts.durationSeconds)
        << at(timing, page.sentenceCount) << ": starts after the end of " << recording;
}

TEST(Recordings, TimingFilesMatchTheSentencesAndTheRecording) {
    for (const fs::path& volume : volumeFolders()) {
        const std::size_t lessons = lessonTitles(volume / "lesson.txt").size();
        for (std::size_t k = 0; k < lessons; ++k) expectLessonTiming(volume, static_cast<int>(k));
    }
}

TEST(HeadFiles, HoldWhatTheirPagesNeed) {
    struct Head {
        const char* file;
        std::vector<std::string> required;
    };
    const std::vector<Head> heads = {
        {"htmlhead.txt", {"<html", "<body", "<table", "charset=gb18030", ".yaowen", ".zhongwen"}},
        {"htmlheadwords.txt",
         {"<html", "<body", "<table", "charset=gb18030", ".yaowen", ".yinbiao", ".zhongwen"}},
    };
    for (const Head& head : heads) {
        const fs::path file = appDir() / head.file;
        const std::string text = readBytes(file);
        ASSERT_FALSE(text.empty()) << file << " is missing or empty";
        for (const std::string& needed : head.required) {
            EXPECT_NE(text.find(needed), std::string::npos) << file << " lacks " << needed;
        }
        EXPECT_EQ(text.find("</table"), std::string::npos) << file << " closes the table the rows go into";
    }
}

TEST(ShippedFiles, BlankWaveIsAHeaderWithoutSamples) {
    const fs::path file = appDir() / "userblank.wav";
    const std::string bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 44u) << file;
    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF") << file;
    EXPECT_EQ(u32(4), 36u) << file << ": RIFF size";
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ") << file;
    EXPECT_EQ(u32(16), 16u) << file << ": fmt chunk size";
    EXPECT_EQ(u16(20), 1u) << file << ": not PCM";
    EXPECT_EQ(u16(22), 1u) << file << ": not mono";
    const unsigned rate = u32(24);
    EXPECT_EQ(u32(28), rate * 2) << file << ": byte rate";
    EXPECT_EQ(u16(32), 2u) << file << ": block align";
    EXPECT_EQ(u16(34), 16u) << file << ": not 16-bit";
    EXPECT_EQ(bytes.substr(36, 4), "data") << file;
    EXPECT_EQ(u32(40), 0u) << file << ": holds samples";
}

TEST(ShippedFiles, PicturesHaveThePageSizes) {
    const struct {
        const char* file;
        int width;
        int height;
    } pictures[] = {{"sound.jpg", 20, 16}, {"start.jpg", 144, 27}};
    for (const auto& picture : pictures) {
        const auto size = jpegSize(appDir() / picture.file);
        ASSERT_TRUE(size) << appDir() / picture.file << " is missing or not a JPEG";
        EXPECT_EQ(*size, std::make_pair(picture.width, picture.height)) << picture.file;
    }
}

TEST(ShippedFiles, EveryToolbarButtonHasItsIcon) {
    for (const char* key : {"btBrowse", "btCompare", "btSpell", "btThinkEnglish", "btWords", "btMp3"}) {
        const fs::path icon = appDir() / "icons" / (std::string(key) + ".svg");
        const std::string text = readBytes(icon);
        EXPECT_NE(text.find("<svg"), std::string::npos) << icon << " is missing or not SVG";
        EXPECT_NE(text.find("viewBox=\"0 0 32 32\""), std::string::npos) << icon << ": not drawn on 32 x 32";
    }
}
