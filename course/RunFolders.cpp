#include "course/RunFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

const char* const kUserFolderName = "Lexbay";
// A program folder holding this file is its own user folder.
const char* const kPortableMark = LEXBAY_PORTABLE_MARK;
// The shipped files read by name from the working folder, comma-separated.
const char* const kShippedFiles = LEXBAY_SHIPPED_FILES;

// Creates a folder and its missing parents readable by their owner only, as
// XDG base directories are to be made.
bool makeFolder(const QString& path)
{
    const QFileInfo folder(path);
    if (folder.isDir())
        return true;
    const QString parent = folder.absolutePath();
    if (parent != folder.absoluteFilePath() && !makeFolder(parent))
        return false;
    return QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) || QFileInfo(path).isDir();
}

// Puts a link to a shipped file into the user folder, replacing whatever
// stands there (an earlier link may lead to a program since moved or
// removed). A file system without symbolic links gets a copy.
QString linkShippedFile(const QString& shipped, const QString& link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink() && existing.symLinkTarget() == shipped)
        return {};
    if (existing.exists() || existing.isSymLink())
        QFile::remove(link);
    if (QFile::link(shipped, link) || QFile::copy(shipped, link))
        return {};
    return QString("无法在用户文件夹中放置 %1").arg(link);
}

}  // namespace

RunFolders RunFolders::locate(const QString& programFolder)
{
    RunFolders folders;
    folders.program = programFolder;
    const QString own =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/" + kUserFolderName;
    folders.user = QFileInfo::exists(programFolder + "/" + kPortableMark) ? programFolder : own;
    folders.ownBooks = own + "/" + kBooksFolder;
    folders.studyRecord = own + "/study.sqlite";
    return folders;
}

QString RunFolders::shippedBooks() const { return program + "/" + kBooksFolder; }

QString prepareUserFolder(const RunFolders& folders)
{
    if (folders.portable())
        return {};
    for (const QString& folder : {folders.user, folders.ownBooks}) {
        if (!makeFolder(folder))
            return QString("无法创建用户文件夹 %1").arg(folder);
    }
    for (const QString& name : QString(kShippedFiles).split(',', Qt::SkipEmptyParts)) {
        const QString problem = linkShippedFile(folders.program + "/" + name, folders.user + "/" + name);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}
