// Lesson page generation from a large lesson text file, against copying the
// same file with cp. Prints the throughput of both and their ratio.

#include "lexbaydll.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;

std::string makeLessonFile(const std::filesystem::path& folder, int* lessons)
{
    std::string path = (folder / "lesson.txt").string();
    std::ofstream out(path, std::ios::binary);
    const std::string chinese = "\xc4\xe3\xba\xc3\xa3\xac\xd5\xe2\xca\xc7\xd2\xbb\xb8\xf6\xbe\xe4\xd7\xd3\xa1\xa3\r\n";
    std::size_t bytes = 0;
    int lesson = 0;
    while (bytes < 10u * 1024 * 1024) {
        std::string block = "$Lesson " + std::to_string(++lesson) + " \xce\xca\xc2\xb7\r\n";
        for (int s = 1; s <= 12; ++s)
            block += std::to_string(s) + ". This is sentence number " + std::to_string(s) + " of the lesson.\r\n" + chinese;
        out << block;
        bytes += block.size();
    }
    *lessons = lesson;
    return path;
}

double medianSeconds(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename F>
double timeRuns(F run)
{
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        samples.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return medianSeconds(samples);
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/lexbay-bench-XXXXXX";
    std::filesystem::path folder = mkdtemp(pattern);
    int lessons = 0;
    std::string lesson = makeLessonFile(folder, &lessons);
    std::string head = (folder / "htmlhead.txt").string();
    std::ofstream(head, std::ios::binary) << "<html><body><table>\r\n";
    std::string page = (folder / "curLesson.htm").string();
    std::string copy = (folder / "copy.txt").string();
    double megabytes = std::filesystem::file_size(lesson) / 1e6;

    std::string cp = "cp '" + lesson + "' '" + copy + "'";
    double cpSeconds = timeRuns([&] {
        if (std::system(cp.c_str()) != 0)
            std::perror("cp");
    });
    std::printf("file: %.1f MB, %d lessons\n", megabytes, lessons);
    std::printf("%-28s %8.2f ms %8.0f MB/s\n", "cp", cpSeconds * 1e3, megabytes / cpSeconds);
    for (auto [label, index] : {std::pair{"dllMakeHtml last lesson", lessons - 1}, std::pair{"dllMakeHtml middle lesson", lessons / 2}}) {
        double seconds = timeRuns([&] { dllMakeHtml(head.c_str(), lesson.c_str(), page.c_str(), index, -1); });
        std::printf("%-28s %8.2f ms %8.0f MB/s  (%.2f x cp)\n", label, seconds * 1e3, megabytes / seconds, cpSeconds / seconds);
    }
    std::filesystem::remove_all(folder);
}
