#pragma once

// Where a run of Lexbay reads what it ships and writes what it makes.
//
// The program folder holds the program, its library, the shipped files and
// the sample course. Installed, it is shared by every user and never written.
// A run writes its lesson, word and welcome pages and the learner's take into
// the user folder and works there (it is the working folder, so these files
// are named relative to it): the learner's own $XDG_DATA_HOME/Lexbay, or the
// program folder itself when that is a portable one, as the build stages it.
// The learner's own volumes lie in $XDG_DATA_HOME/Lexbay/books in either case.

#include <QString>

// The folder of volumes, in the program folder and in the user's data folder.
inline constexpr char kBooksFolder[] = "books";

struct RunFolders {
    QString program;
    QString user;
    QString ownBooks;
    // The study record, in the learner's own data folder in either case.
    QString studyRecord;

    // The folders of a program in `programFolder`, for the user running it.
    static RunFolders locate(const QString& programFolder);

    bool portable() const { return user == program; }
    QString shippedBooks() const;
};

// Makes the user folder ready for a run: creates it, readable by its owner
// only, and links the shipped files that the program and the pages read by
// name (page heads, pictures, the blank take) into it. Returns what went
// wrong, empty when all is ready.
QString prepareUserFolder(const RunFolders& folders);
