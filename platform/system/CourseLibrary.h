#pragma once

// The course-data library, loaded at run time from the program folder. Each
// export is bound by name at its first call.

#include "coursedata/lexbaydll.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class CourseLibrary {
public:
    // Loads the library file; isLoaded() and problem() tell how that went.
    explicit CourseLibrary(const QString& libraryPath);
    ~CourseLibrary();
    CourseLibrary(const CourseLibrary&) = delete;
    CourseLibrary& operator=(const CourseLibrary&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }
    // What keeps the library from being used: a missing file or export.
    // Empty when the library and all its exports are there.
    QString problem() const;

    // The lesson titles of a lesson text file, in file order, each as the
    // file holds it (line end included), decoded for display.
    QStringList dllFillLsLesson(const QString& lessonFile);
    int dllMakeHtml(const QString& headFile, const QString& lessonFile, const QString& pageFile, int lessonIndex,
                    int showChinese);
    int dllMakeHtmlWords(const QString& headFile, const QString& wordFile, const QString& pageFile,
                         int lessonIndex);
    int dllReadAllTimeInfo(const QString& timingFile, double* times, int capacity);
    int dllInit(const QString& pageFile);
    int dllIePage(const QString& address);
    double dllMyGetTime();
    int dllTimePassed(double stamp);
    // Texts are compared in the course's byte encoding.
    int dllCompareSentence(const QByteArray& typed, const QByteArray& right);

    // The library's exports, for checking that all of them are there.
    static const QStringList& exportNames();

private:
    void* bind(const char* name);
    template <typename F>
    F function(const char* name, F& cache)
    {
        if (cache == nullptr)
            cache = reinterpret_cast<F>(bind(name));
        return cache;
    }

    void* handle_ = nullptr;
    QString loadError_;
    decltype(&::dllFillLsLesson) fillLsLesson_ = nullptr;
    decltype(&::dllMakeHtml) makeHtml_ = nullptr;
    decltype(&::dllMakeHtmlWords) makeHtmlWords_ = nullptr;
    decltype(&::dllReadAllTimeInfo) readAllTimeInfo_ = nullptr;
    decltype(&::dllInit) init_ = nullptr;
    decltype(&::dllIePage) iePage_ = nullptr;
    decltype(&::dllMyGetTime) myGetTime_ = nullptr;
    decltype(&::dllTimePassed) timePassed_ = nullptr;
    decltype(&::dllCompareSentence) compareSentence_ = nullptr;
};
