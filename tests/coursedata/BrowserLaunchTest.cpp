#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Puts a stand-in opener first on PATH that records its arguments, each
// followed by a zero byte, behind its argument count.
class BrowserLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedPath = std::getenv("PATH");
        record = scratch.file("record");
        std::string opener = scratch.write("bin/xdg-open", "");
        std::filesystem::create_directories(scratch.file("bin"));
        opener = scratch.write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\0' \"$#\" \"$@\" >> '" + record + "'\n");
        chmod(opener.c_str(), 0755);
        setenv("PATH", (scratch.file("bin") + ":" + savedPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

    // Waits for the stand-in to have recorded one call; returns its fields.
    std::vector<std::string> recordedCall()
    {
        for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(10ms)) {
            std::string bytes = readBytes(record);
            if (!bytes.empty() && bytes.back() == '\0' && fieldsOf(bytes).size() >= 2)
                return fieldsOf(bytes);
        }
        return {};
    }

    static std::vector<std::string> fieldsOf(const std::string& bytes)
    {
        std::vector<std::string> fields;
        for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            fields.push_back(bytes.substr(start, end - start));
        return fields;
    }

    ScratchFolder scratch;
    std::string savedPath;
    std::string record;
};

TEST_F(BrowserLaunch, PassesAnyAddressAsTheOpenersOneArgument)
{
    const std::string addresses[] = {
        "http://www.lexbay.example.com/",
        "http://x.example.com/a b;touch pwned;$(touch pwned2)`touch pwned3`\nsecond line & | > <",
        "http://x.example.com/'; touch pwned #\" \"$(touch pwned2)\" \\` \t$HOME ${PATH} *",
        "\ntouch pwned\n",
        "--help",
        "",
        "http://x.example.com/\xC4\xE3\xBA\xC3?q=" + std::string(8000, 'a'),
    };
    for (const std::string& address : addresses) {
        std::filesystem::remove(record);
        EXPECT_EQ(dllIePage(address.c_str()), 0);
        EXPECT_EQ(recordedCall(), (std::vector<std::string>{"1", address}));
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(fieldsOf(readBytes(record)).size(), 2u) << "the opener ran more than once";
    }
    for (const char* trace : {"pwned", "pwned2", "pwned3"})
        EXPECT_FALSE(std::filesystem::exists(trace)) << "a shell interpreted the address";
}

TEST_F(BrowserLaunch, ReturnsAtOnceAndLeavesNoZombie)
{
    std::string slowOpener = scratch.write("bin/xdg-open", "#!/bin/sh\nsleep 0.3\nprintf '%s\\0' \"$#\" \"$@\" >> '" + record + "'\n");
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(dllIePage("http://www.lexbay.example.com/"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 250ms);
    EXPECT_EQ(recordedCall().size(), 2u);

    // Once the opener has ended, this process has no child left, not even a
    // zombie.
    std::string children = "/proc/self/task/" + std::to_string(getpid()) + "/children";
    std::string left;
    for (int i = 0; i < 200 && !(left = readBytes(children)).empty(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(left, "");
}

TEST_F(BrowserLaunch, NoOpenerOnPathGivesMinusOne)
{
    setenv("PATH", scratch.file("empty").c_str(), 1);
    EXPECT_EQ(dllIePage("http://www.lexbay.example.com/"), -1);
    unsetenv("PATH");
    EXPECT_EQ(dllIePage("http://www.lexbay.example.com/"), -1);
    EXPECT_FALSE(std::filesystem::exists(record));
}

}  // namespace
