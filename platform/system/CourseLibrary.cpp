#include "platform/system/CourseLibrary.h"

#include "platform/system/CourseText.h"

#include <QFile>

#include <dlfcn.h>

namespace {

QByteArray path(const QString& name) { return QFile::encodeName(name); }

void appendTitle(void* list, const char* title)
{
    static_cast<QStringList*>(list)->append(decodeCourseText(title));
}

}  // namespace

CourseLibrary::CourseLibrary(const QString& libraryPath)
{
    // Never unmapped: the browser launch leaves a thread of the library's own
    // waiting for the opener to end, which may be after the library is let go.
    handle_ = dlopen(path(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr)
        loadError_ = QString::fromLocal8Bit(dlerror());
}

CourseLibrary::~CourseLibrary()
{
    if (handle_ != nullptr)
        dlclose(handle_);
}

const QStringList& CourseLibrary::exportNames()
{
    static const QStringList names{"dllFillLsLesson", "dllMakeHtml",   "dllMakeHtmlWords",
                                   "dllReadAllTimeInfo", "dllInit",    "dllIePage",
                                   "dllMyGetTime",    "dllTimePassed", "dllCompareSentence"};
    return names;
}

QString CourseLibrary::problem() const
{
    if (handle_ == nullptr)
        return loadError_;
    QStringList missing;
    for (const QString& name : exportNames()) {
        if (dlsym(handle_, name.toLatin1().constData()) == nullptr)
            missing << name;
    }
    return missing.isEmpty() ? QString() : QStringLiteral("missing exports: ") + missing.join(", ");
}

void* CourseLibrary::bind(const char* name)
{
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

// Each call below does nothing and gives the failure value when its export is
// missing; start-up checks the exports first and refuses to run without them.

QStringList CourseLibrary::dllFillLsLesson(const QString& lessonFile)
{
    QStringList titles;
    if (auto f = function("dllFillLsLesson", fillLsLesson_))
        f(path(lessonFile).constData(), &titles, appendTitle);
    return titles;
}

int CourseLibrary::dllMakeHtml(const QString& headFile, const QString& lessonFile, const QString& pageFile,
                               int lessonIndex, int showChinese)
{
    auto f = function("dllMakeHtml", makeHtml_);
    return f ? f(path(headFile).constData(), path(lessonFile).constData(), path(pageFile).constData(), lessonIndex,
                 showChinese)
             : 0;
}

int CourseLibrary::dllMakeHtmlWords(const QString& headFile, const QString& wordFile, const QString& pageFile,
                                    int lessonIndex)
{
    auto f = function("dllMakeHtmlWords", makeHtmlWords_);
    return f ? f(path(headFile).constData(), path(wordFile).constData(), path(pageFile).constData(), lessonIndex)
             : 0;
}

int CourseLibrary::dllReadAllTimeInfo(const QString& timingFile, double* times, int capacity)
{
    auto f = function("dllReadAllTimeInfo", readAllTimeInfo_);
    return f ? f(path(timingFile).constData(), times, capacity) : 0;
}

int CourseLibrary::dllInit(const QString& pageFile)
{
    auto f = function("dllInit", init_);
    return f ? f(path(pageFile).constData()) : 0;
}

int CourseLibrary::dllIePage(const QString& address)
{
    auto f = function("dllIePage", iePage_);
    return f ? f(address.toUtf8().constData()) : -1;
}

double CourseLibrary::dllMyGetTime()
{
    auto f = function("dllMyGetTime", myGetTime_);
    return f ? f() : 0.0;
}

int CourseLibrary::dllTimePassed(double stamp)
{
    auto f = function("dllTimePassed", timePassed_);
    // Without a clock every wait would last for ever; report it as over.
    return f ? f(stamp) : INT32_MAX;
}

int CourseLibrary::dllCompareSentence(const QByteArray& typed, const QByteArray& right)
{
    auto f = function("dllCompareSentence", compareSentence_);
    return f ? f(typed.constData(), right.constData()) : 0;
}
