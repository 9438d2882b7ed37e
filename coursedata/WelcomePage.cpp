// The welcome page shown over the lesson page at start.
//
// This file is compiled with the execution character set GB18030, so its
// Chinese string literals become the GB2312 bytes the page declares; the
// source itself stays readable UTF-8.

#include "PageWriter.h"
#include "lexbaydll.h"

using namespace coursedata;

namespace {

#define STUDIO "蓝湾工作室"
#define MAKER LEXBAY_MAKER_NAME
#define PRODUCT LEXBAY_PRODUCT_NAME
#define STUDIO_MAIL "studio@lexbay.example.com"

const char* const kWelcomeLines[] = {
    "<html>",
    "<head>",
    "<meta http-equiv=\"Content-Language\" content=\"zh-cn\">",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
    "<meta name=\"GENERATOR\" content=\"Microsoft FrontPage 4.0\">",
    "<meta name=\"ProgId\" content=\"FrontPage.Editor.Document\">",
    "<title>Trellis English</title>",
    "</head>",
    "<body>",
    "<p>　</p>",
    // Credits.
    "<p>本软件中的MP3文件和同步LRC文件，是用<a href=\"" LEXBAY_MAKER_SITE "\" target=_blank>" MAKER
    "</a>的<a href=\"" LEXBAY_PRODUCT_PAGE "\" target=_blank>" PRODUCT
    "</a>软件的MP3生成功能制作的，在此感谢" MAKER "公司！</p>",
    // Origin.
    "<p>本软件是" STUDIO "的练习作品，只用了两天时间写成，功能还不完善。它和<a href=\"" LEXBAY_PRODUCT_PAGE
    "\" target=_blank>" PRODUCT "</a>软件配合使用，效果会更好。</p>",
    // Studio line.
    "<p><font face=\"黑体\" color=\"#FF0000\" size=\"5\">" STUDIO "制作</font></p>",
    // E-mail line.
    "<p>Email：<a href=\"mailto:" STUDIO_MAIL "\"><font face=\"黑体\" color=\"#FF0000\" size=\"4\">" STUDIO_MAIL
    "</font></a></p>",
    // The start picture: its link is never followed; the welcome view closes
    // the page when the link is pressed.
    "<p><a href=\"http://" LEXBAY_START_HOST "/start.htm\"><img border=\"0\" src=\"start.jpg\" width=\"144\" "
    "height=\"27\"></a></p>",
    "</body>",
    "</html>",
};

}  // namespace

int32_t dllInit(const char* pageFile)
{
    PageWriter page(pageFile);
    for (const char* line : kWelcomeLines) {
        page.write(line);
        page.write("\r\n");
    }
    return 0;
}
