// The catalogue's rules without a window: which volume and lesson are chosen
// at start-up, when the learner chooses, and when a volume is added by an
// import or has gone.

#include "course/CourseCatalogue.h"
#include "platform/system/CourseLibrary.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A volume folder under `books` with one lesson title per entry of `titles`.
void writeVolume(const QString& books, const QString& name, const QStringList& titles)
{
    QDir().mkpath(books + "/" + name);
    QByteArray text;
    for (const QString& title : titles)
        text += QStringEncoder("GB18030").encode("$" + title + "\r\n1. A.\r\n一。\r\n");
    QFile file(books + "/" + name + "/lesson.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

struct Shelf {
    QString shipped;
    QString own;
};

struct Case {
    const char* what;
    std::function<void(CourseCatalogue&, const Shelf&)> act;
    QString volume;  // the chosen volume's name; empty for none
    bool own;
    int lesson;
    int lessons;
};

TEST(CourseCatalogue, ChoosesVolumesAndLessonsByItsRules)
{
    const Case cases[] = {
        {"start-up with stored positions inside the lists", [](CourseCatalogue& c, const Shelf&) { c.start(1, 1); },
         "Trellis英语第2册", false, 1, 3},
        {"start-up with positions outside them: the first of each",
         [](CourseCatalogue& c, const Shelf&) { c.start(7, 9); }, "Mine", true, 0, 2},
        {"an own volume stands in for a shipped one of the same name",
         [](CourseCatalogue& c, const Shelf&) { c.start(2, 0); }, "Trellis英语第3册", true, 0, 1},
        {"a volume without lessons: none chosen", [](CourseCatalogue& c, const Shelf&) { c.start(3, 0); },
         "Trellis英语第4册", false, -1, 0},
        {"choosing a volume lists its lessons and chooses none",
         [](CourseCatalogue& c, const Shelf&) { c.start(1, 2), c.chooseVolume(0); }, "Mine", true, -1, 2},
        {"a volume added by an import is listed and shown at its last lesson",
         [](CourseCatalogue& c, const Shelf& s) {
             c.start(1, 0);
             writeVolume(s.own, "Audiobook", {"Chapter 1", "Chapter 2"});
             c.show(s.own + "/Audiobook", 5);
         },
         "Audiobook", true, 1, 2},
        {"a volume gone when shown: the first volume instead",
         [](CourseCatalogue& c, const Shelf& s) {
             c.start(1, 0);
             QDir(s.shipped + "/Trellis英语第2册").removeRecursively();
             c.show(s.shipped + "/Trellis英语第2册", 1);
         },
         "Mine", true, 1, 2},
        {"listing again keeps the chosen volume and lesson while it is there",
         [](CourseCatalogue& c, const Shelf& s) {
             c.start(1, 2);
             writeVolume(s.own, "Audiobook", {"Chapter 1"});
             c.listVolumes();
         },
         "Trellis英语第2册", false, 2, 3},
        {"listing again after the chosen volume went: the first, no lessons yet",
         [](CourseCatalogue& c, const Shelf& s) {
             c.start(1, 2);
             QDir(s.shipped + "/Trellis英语第2册").removeRecursively();
             c.listVolumes();
         },
         "Mine", true, -1, 0},
    };
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const Shelf shelf{dir.path() + "/books", dir.path() + "/own"};
        writeVolume(shelf.shipped, "Trellis英语第2册", {"Lesson 1", "Lesson 2", "Lesson 3"});
        writeVolume(shelf.shipped, "Trellis英语第3册", {"Shipped 1", "Shipped 2"});
        writeVolume(shelf.shipped, "Trellis英语第4册", {});
        writeVolume(shelf.own, "Trellis英语第3册", {"Own 1"});
        writeVolume(shelf.own, "Mine", {"Mine 1", "Mine 2"});
        CourseCatalogue catalogue(shelf.shipped, shelf.own, library);
        catalogue.listVolumes();
        c.act(catalogue, shelf);

        EXPECT_EQ(catalogue.volume().name, c.volume);
        EXPECT_EQ(catalogue.volume().own, c.own);
        EXPECT_EQ(catalogue.lessonIndex(), c.lesson);
        EXPECT_EQ(catalogue.lessonTitles().size(), c.lessons);
        EXPECT_EQ(catalogue.volumes().value(catalogue.volumeIndex()).name, c.volume);
    }
}

}  // namespace
