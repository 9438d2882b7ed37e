#include "cli/CommandSyntax.h"

const OptionSyntax* CommandSyntax::option(const QString& optionName) const
{
    for (const OptionSyntax& o : options) {
        if (o.name == optionName)
            return &o;
    }
    return nullptr;
}

QString CommandSyntax::usage() const
{
    QStringList parts{"--" + name};
    for (const OptionSyntax& o : options) {
        const QString call = o.takesValue() ? QString("--%1 %2").arg(o.name, o.valueName) : "--" + o.name;
        parts << (o.required ? call : "[" + call + "]");
    }
    for (int k = 0; k < arguments.size(); ++k)
        parts << (k >= arguments.size() - optionalArguments ? "[" + arguments.at(k) + "]" : arguments.at(k));
    return parts.join(' ');
}

const QList<CommandSyntax>& commandSyntaxes()
{
    static const QList<CommandSyntax> all = {
        {"import",
         "把一个录音（或视频）和它的课文（或字幕）加为自己的一课",
         {{"volume", "NAME", "自己的册名（books 下的文件夹；没有就新建）", true},
          {"title", "TITLE", "课的标题（默认为录音的文件名）"},
          {"words", "FILE", "本课词表（每个词三行：单词、音标、意思）"},
          {"translation", "ZH_SUBTITLES", "中文字幕：每句配上与它时间重叠最多的一条"},
          {"copy-video", "", "把视频复制到课程文件夹（默认只记下它的位置）"},
          {"merge-cues", "", "把没有说完一句的字幕和下一条合成一句"},
          {"align", "", "按录音重新对齐字幕的时间（以字幕时间为起点）"}},
         {"AUDIO", "TEXT"},
         1},
        {"export-anki",
         "把课本或一课的句子（或生词本里的词）连同录音片段导出为 Anki 卡片包",
         {{"volume", "NAME", "课本文件夹的名字（导出句子时必须给出）"},
          {"lesson", "TITLE", "只导出这一课（课文标题）"},
          {"words", "OUT.apkg", "改为导出生词本：每个词一张卡片，带例句和它的录音"}},
         {"OUT.apkg"},
         1},
        {"review-due",
         "显示某天（默认今天）到期复习的句子数，逾期的也计在内",
         {{"date", "YYYY-MM-DD", "复习的日期（YYYY-MM-DD，默认今天）"}},
         {}},
        {"lookup", "在词典里查一个英文单词：音标、中文释义、变形和考试标签", {}, {"WORD"}},
        {"retime",
         "设定自己课本中一句的开始时间（这一句的第一个词随之移动）",
         {{"volume", "NAME", "自己的册名（books 下的文件夹）", true},
          {"lesson", "N", "第几课（从 1 数起）", true},
          {"sentence", "K", "第几句（从 1 数起）", true},
          {"start", "SECONDS", "新的开始时间，以秒计", true}},
         {}},
    };
    return all;
}
