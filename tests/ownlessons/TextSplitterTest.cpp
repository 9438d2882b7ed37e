// The text splitter and the subtitle readers on their hard cases: each row a
// file as a learner might bring it and the sentences it must give.

#include "ownlessons/SubtitleReader.h"
#include "ownlessons/TextSplitter.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char* name;
    QByteArray file;  // as it lies on disk
    SubtitleFormat format;
    bool merge;
    // English|Chinese|start per sentence ("" for none, -1 for no start)
    QStringList expected;
    // part of the error message, for files that must be refused
    QString error;
};

QByteArray gb18030(const QString& text) { return QStringEncoder("GB18030").encode(text); }

QString describe(const LessonSentence& s) { return QString("%1|%2|%3").arg(s.english, s.chinese).arg(s.start); }

const QList<TextCase>& cases()
{
    static const QList<TextCase> all = {
        {"abbreviations_initials_numbers",
         "Mr. Smith met Dr. Brown on St. James Street. It cost 3.5 dollars, i.e. too much! "
         "J. R. Smith came too, etc. and left? \"Yes,\" she said. \"Go.\" Then he went.",
         SubtitleFormat::None, false,
         {"Mr. Smith met Dr. Brown on St. James Street.||-1", "It cost 3.5 dollars, i.e. too much!||-1",
          "J. R. Smith came too, etc. and left?||-1", "\"Yes,\" she said.||-1", "\"Go.\"||-1",
          "Then he went.||-1"}},
        {"paragraph_over_lines_and_translations",
         "\xEF\xBB\xBFThe cat sat\non the mat. It slept.\n猫睡了。\n\nA line without a stop\n\nNext paragraph.\n下一段。\n",
         SubtitleFormat::None, false,
         {"The cat sat on the mat.||-1", "It slept.|猫睡了。|-1", "A line without a stop||-1",
          "Next paragraph.|下一段。|-1"}},
        {"gb18030_file", gb18030("Hello there.\r\n你好。\r\nGood bye.\r\n再见。\r\n"), SubtitleFormat::None, false,
         {"Hello there.|你好。|-1", "Good bye.|再见。|-1"}},
        {"empty_text", "  \n\n", SubtitleFormat::None, false, {}},
        {"srt_with_markup_and_translation",
         "1\r\n00:00:01,500 --> 00:00:03,000\r\n<i>Where is</i>\r\n2\r\n\r\n2\r\n00:00:03,200 --> 00:00:05,000\r\n"
         "the station?\r\n车站在哪儿？\r\n\r\n3\r\n01:00:00,000 --> 01:00:01,000\r\nNow.\r\n",
         SubtitleFormat::SubRip, false,
         {"Where is 2||1.5", "the station?|车站在哪儿？|3.2", "Now.||3600"}},
        {"srt_merged", "1\n00:00:01,000 --> 00:00:02,000\nWhere is\n\n2\n00:00:02,500 --> 00:00:04,000\nit? Here.\n",
         SubtitleFormat::SubRip, true, {"Where is it? Here.||1"}},
        {"vtt_notes_and_short_times",
         "WEBVTT\n\nNOTE a remark\nover lines\n\nintro\n00:01.250 --> 00:02.000 align:start\nHi!\n\n"
         "00:00:02.500 --> 00:00:03.000\nBye.\n",
         SubtitleFormat::WebVtt, false, {"Hi!||1.25", "Bye.||2.5"}},
        {"lrc_tags_and_two_stamps", "[ar:Someone]\n[00:05.00][00:01.50]Again.\n[00:03.10]Once more.\n",
         SubtitleFormat::Lyrics, false, {"Again.||1.5", "Once more.||3.1", "Again.||5"}},
        {"srt_end_before_start", "1\n00:00:05,000 --> 00:00:04,000\nNo.\n", SubtitleFormat::SubRip, false, {},
         "第 1 条的时间有误"},
        {"srt_minutes_out_of_range", "1\n00:00:01,000 --> 00:00:02,000\nA.\n\n2\n00:61:00,000 --> 00:62:00,000\nB.\n",
         SubtitleFormat::SubRip, false, {}, "第 2 条的时间有误"},
        {"vtt_going_backwards", "WEBVTT\n\n00:05.000 --> 00:06.000\nA.\n\n00:01.000 --> 00:02.000\nB.\n",
         SubtitleFormat::WebVtt, false, {}, "第 2 条的时间有误"},
        {"lrc_bad_stamp", "[00:01.00]A.\n[0x:zz]B.\n", SubtitleFormat::Lyrics, false, {}, "第 2 条的时间有误"},
        {"subtitles_without_cues", "WEBVTT\n\n", SubtitleFormat::WebVtt, false, {}, "没有带时间的英文字幕"},
        {"subtitles_empty", " \r\n\r\n", SubtitleFormat::SubRip, false, {}, "字幕文件是空的"},
        {"srt_cues_starting_together_are_one_sentence",
         "1\n00:00:01,000 --> 00:00:02,000\nHi.\n\n2\n00:00:01,004 --> 00:00:02,500\n你好。\n", SubtitleFormat::SubRip,
         false, {"Hi.|你好。|1"}},
        {"ass_without_format_line_and_commas_in_text",
         "[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,Well, yes.\n", SubtitleFormat::Ass, false,
         {"Well, yes.||1"}},
        {"ass_drawing_dropped",
         "[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Sign,,0,0,0,,{\\p1}m 0 0 l 100 0 100 100{\\p0}Exit\\Nright.\n",
         SubtitleFormat::Ass, false, {"Exit right.||1"}},
        {"ass_format_not_ending_in_text", "[Events]\nFormat: Start, End, Text, Style\n", SubtitleFormat::Ass, false, {},
         "以 Text 结束"},
        {"ass_dialogue_short_of_fields",
         "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\nDialogue: 0,0:00:01.00\n",
         SubtitleFormat::Ass, false, {}, "第 1 条的字段不全"},
    };
    return all;
}

class LessonTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LessonTextTest, GivesTheSentences)
{
    const TextCase& c = GetParam();
    const QString text = decodeLessonText(c.file);
    LessonSentences sentences;
    if (c.format == SubtitleFormat::None) {
        sentences = splitLessonText(text);
    } else {
        const SubtitleReading reading = readSubtitles(text, c.format, c.merge);
        if (!c.error.isEmpty()) {
            EXPECT_TRUE(reading.error.contains(c.error)) << reading.error.toStdString();
            return;
        }
        ASSERT_TRUE(reading.error.isEmpty()) << reading.error.toStdString();
        sentences = reading.sentences;
    }
    QStringList got;
    for (const LessonSentence& s : sentences)
        got << describe(s);
    EXPECT_EQ(got.join("\n").toStdString(), c.expected.join("\n").toStdString());
}

INSTANTIATE_TEST_SUITE_P(HardCases, LessonTextTest, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
