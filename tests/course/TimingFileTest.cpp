// A lesson's timing lines as the program writes and edits them, read back
// through the course-data library the page's sound icons use.

#include "course/CourseFiles.h"
#include "course/TimingFile.h"
#include "platform/system/CourseLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CourseLibrary& library()
{
    static CourseLibrary loaded(QStringLiteral(LEXBAY_APP_DIR "/liblexbaydll.so"));
    return loaded;
}

// What the library reads from these lines, one start per line.
std::vector<double> readBack(const QList<QByteArray>& lines)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("tlx1001.lrc");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(joinedCourseLines(lines));
    file.close();
    std::vector<double> starts;
    EXPECT_EQ(timingfile::readStarts(library(), path, int(lines.size()), &starts), lines.size());
    starts.resize(size_t(lines.size()));
    return starts;
}

TEST(TimingFile, WrittenStartsReadBackThroughTheLibraryToTheHundredth)
{
    ASSERT_TRUE(library().problem().isEmpty()) << library().problem().toStdString();
    const struct {
        double written;
        const char* stamp;
        double read;
    } cases[] = {
        {0.0, "[00:00.00]", 0.0},       {3.254, "[00:03.25]", 3.25},      {62.346, "[01:02.35]", 62.35},
        {59.999, "[01:00.00]", 60.0},   {5999.99, "[99:59.99]", 5999.99}, {-1.0, "[00:00.00]", 0.0},
    };
    QList<QByteArray> lines;
    for (const auto& c : cases) {
        EXPECT_EQ(timingfile::stamp(c.written).toStdString(), c.stamp);
        lines << timingfile::line(c.written, "Text.");
    }
    const std::vector<double> starts = readBack(lines);
    for (size_t k = 0; k < std::size(cases); ++k) {
        EXPECT_NEAR(starts[k], cases[k].read, 1e-9) << cases[k].stamp;
        EXPECT_NEAR(*timingfile::startOf(lines.at(int(k))), cases[k].read, 1e-9) << cases[k].stamp;
    }
}

// Timing files from elsewhere bend the columns; an edit must see the start
// the page plays from.
TEST(TimingFile, AnEditReadsEveryLineAsTheLibraryDoes)
{
    const QList<QByteArray> lines{"[1:12.50] One minute digit.", "[01:02.345] Three fraction digits.",
                                  "[00: 7.5 ] Blanks in the fields.", "[ti:Lesson one]",
                                  "[-1:30.00] A sign.",           "[00:1e2  ] An exponent."};
    const std::vector<double> starts = readBack(lines);
    for (int k = 0; k < lines.size(); ++k)
        EXPECT_DOUBLE_EQ(*timingfile::startOf(lines.at(k)), starts[size_t(k)]) << lines.at(k).constData();
    EXPECT_FALSE(timingfile::startOf("[01:02]"));
}

TEST(TimingFile, AMovedStartStaysBetweenItsNeighboursAndKeepsItsText)
{
    const struct {
        int sentence;
        double delta;
        std::optional<double> start;
    } cases[] = {
        {1, 0.5, 3.5},  {1, -0.004, 3.0}, {1, -5, 1.01}, {1, 5, 4.99},
        {2, 10, 7.99},  {0, -3, 0.0},     {3, 1, std::nullopt},
    };
    for (const auto& c : cases) {
        QList<QByteArray> lines{"[00:01.00]A.", "[00:03.00]B.", "[00:05.00]C."};
        const QList<QByteArray> before = lines;
        const std::optional<double> start = timingfile::moveStart(&lines, c.sentence, c.delta, 8.0);
        ASSERT_EQ(start.has_value(), c.start.has_value()) << c.sentence << " by " << c.delta;
        if (!start) {
            EXPECT_EQ(lines, before);
            continue;
        }
        EXPECT_NEAR(*start, *c.start, 1e-9) << c.sentence << " by " << c.delta;
        EXPECT_NEAR(readBack(lines)[size_t(c.sentence)], *c.start, 1e-9);
        EXPECT_TRUE(lines.at(c.sentence).endsWith(before.at(c.sentence).mid(10)));
    }
}

}  // namespace
