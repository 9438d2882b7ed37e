// The program and user folders of a run.

#include "course/RunFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const QStringList kShipped = QString(LEXBAY_SHIPPED_FILES).split(',');

// A program folder holding the shipped files, and a data home of its own.
struct Folders {
    Folders()
    {
        QDir().mkpath(program());
        for (const QString& name : kShipped) {
            QFile file(program() + "/" + name);
            file.open(QIODevice::WriteOnly);
            file.write(name.toUtf8());
        }
        previousDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
    }
    ~Folders() { qputenv("XDG_DATA_HOME", previousDataHome_); }

    QString program() const { return dir.path() + "/program"; }
    QString user() const { return dir.path() + "/data/Lexbay"; }

    QTemporaryDir dir;
    QByteArray previousDataHome_;
};

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST(RunFolders, InstalledProgramWritesIntoTheUsersDataFolder)
{
    Folders f;
    const RunFolders folders = RunFolders::locate(f.program());
    EXPECT_FALSE(folders.portable());
    EXPECT_EQ(folders.user, f.user());
    EXPECT_EQ(folders.ownBooks, f.user() + "/books");
    EXPECT_EQ(folders.studyRecord, f.user() + "/study.sqlite");
    EXPECT_EQ(folders.shippedBooks(), f.program() + "/books");

    ASSERT_EQ(prepareUserFolder(folders), "");
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(f.user().toStdString()).permissions(), fs::perms::owner_all);
    EXPECT_TRUE(QFileInfo(folders.ownBooks).isDir());
    for (const QString& name : kShipped)
        EXPECT_EQ(contentOf(f.user() + "/" + name), name.toUtf8()) << name.toStdString();
}

TEST(RunFolders, PortableProgramFolderIsItsOwnUserFolderAndStaysAsItIs)
{
    Folders f;
    QFile mark(f.program() + "/" + LEXBAY_PORTABLE_MARK);
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.close();
    const RunFolders folders = RunFolders::locate(f.program());
    EXPECT_TRUE(folders.portable());
    EXPECT_EQ(folders.user, f.program());
    EXPECT_EQ(folders.ownBooks, f.user() + "/books");
    EXPECT_EQ(folders.studyRecord, f.user() + "/study.sqlite");
    const QStringList before = QDir(f.program()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(prepareUserFolder(folders), "");
    EXPECT_EQ(QDir(f.program()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_FALSE(QFileInfo::exists(f.user()));
}

TEST(RunFolders, LinksFollowTheProgramWhenItMovesAndReplaceStrayFiles)
{
    Folders f;
    ASSERT_EQ(prepareUserFolder(RunFolders::locate(f.program())), "");
    // The program moves (an upgrade to another place); a page head in the
    // user folder has been overwritten by hand.
    const QString moved = f.dir.path() + "/moved";
    ASSERT_TRUE(QDir().rename(f.program(), moved));
    QFile::remove(f.user() + "/htmlhead.txt");
    QFile stray(f.user() + "/htmlhead.txt");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("stray");
    stray.close();

    ASSERT_EQ(prepareUserFolder(RunFolders::locate(moved)), "");
    for (const QString& name : kShipped) {
        EXPECT_EQ(contentOf(f.user() + "/" + name), name.toUtf8()) << name.toStdString();
        EXPECT_EQ(QFileInfo(f.user() + "/" + name).symLinkTarget(), moved + "/" + name) << name.toStdString();
    }
}

TEST(RunFolders, AUserFolderThatCannotBeMadeIsNamed)
{
    Folders f;
    // A file where the data home should be.
    QFile blocker(f.dir.path() + "/data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString problem = prepareUserFolder(RunFolders::locate(f.program()));
    EXPECT_TRUE(problem.contains(f.user())) << problem.toStdString();
}

}  // namespace
