#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <regex>
#include <sstream>
#include <vector>

namespace {

std::string gb2312ToUtf8(const std::string& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GB2312");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    EXPECT_NE(result, static_cast<size_t>(-1)) << "the welcome page is not valid GB2312";
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::string> crlfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line must end with CR LF";
    return lines;
}

class WelcomePage : public ::testing::Test {
protected:
    std::vector<std::string> writeAndRead()
    {
        EXPECT_EQ(dllInit(page.c_str()), 0);
        raw = readBytes(page);
        return crlfLines(gb2312ToUtf8(raw));
    }
    ScratchFolder scratch;
    std::string page = scratch.file("homepage.htm");
    std::string raw;
};

TEST_F(WelcomePage, FixedLinesStandAsTheyAre)
{
    auto lines = writeAndRead();
    ASSERT_EQ(lines.size(), 17u);
    const std::vector<std::string> head{
        "<html>",
        "<head>",
        "<meta http-equiv=\"Content-Language\" content=\"zh-cn\">",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
        "<meta name=\"GENERATOR\" content=\"Microsoft FrontPage 4.0\">",
        "<meta name=\"ProgId\" content=\"FrontPage.Editor.Document\">",
        "<title>Trellis English</title>",
        "</head>",
        "<body>",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), head);
    EXPECT_EQ(raw.substr(raw.find("<body>\r\n") + 8, 11), "<p>\xA1\xA1</p>\r\n");
    EXPECT_EQ(lines[15], "</body>");
    EXPECT_EQ(lines[16], "</html>");
}

TEST_F(WelcomePage, CreditsStudioMailAndStartPictureAreWellFormed)
{
    auto lines = writeAndRead();
    ASSERT_EQ(lines.size(), 17u);
    const std::string& credits = lines[10];
    const std::string& origin = lines[11];
    EXPECT_NE(credits.find("<a href=\"" LEXBAY_MAKER_SITE "\" target=_blank>"), std::string::npos);
    EXPECT_NE(credits.find("<a href=\"" LEXBAY_PRODUCT_PAGE "\" target=_blank>"), std::string::npos);
    EXPECT_NE(origin.find("<a href=\"" LEXBAY_PRODUCT_PAGE "\" target=_blank>"), std::string::npos);
    EXPECT_TRUE(std::regex_match(lines[12], std::regex(R"(<p><font face="黑体" color="#FF0000" size="5">.+制作</font></p>)")));
    EXPECT_TRUE(std::regex_match(
        lines[13], std::regex(R"re(<p>Email：<a href="mailto:([^"]+)"><font face="黑体" color="#FF0000" size="4">\1</font></a></p>)re")));
    EXPECT_NE(lines[14].find("http://" LEXBAY_START_HOST "/"), std::string::npos);
    EXPECT_NE(lines[14].find("<img border=\"0\" src=\"start.jpg\" width=\"144\" height=\"27\">"), std::string::npos);

    // Every address of the page lies in the reserved example domains.
    std::string page = gb2312ToUtf8(raw);
    std::regex address(R"((?:http://|mailto:[^@"]+@)([^/"]+))");
    int addresses = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), address); it != std::sregex_iterator(); ++it, ++addresses)
        EXPECT_TRUE(std::regex_search((*it)[1].str(), std::regex(R"(example\.(com|org)$)"))) << (*it)[1];
    EXPECT_EQ(addresses, 5);
}

TEST_F(WelcomePage, RewrittenAtEveryCall)
{
    scratch.write("homepage.htm", std::string(20000, 'x'));
    auto lines = writeAndRead();
    EXPECT_EQ(lines.size(), 17u);
    EXPECT_EQ(raw.find(std::string(100, 'x')), std::string::npos);
}

TEST_F(WelcomePage, UncreatableFileReturnsZero)
{
    EXPECT_EQ(dllInit(scratch.file("missing/homepage.htm").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("missing/homepage.htm")));
}

}  // namespace
