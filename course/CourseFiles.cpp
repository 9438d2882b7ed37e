#include "course/CourseFiles.h"

#include <QDir>
#include <QFileInfo>

QString courseFile(const QString& folder, const QString& fileName)
{
    if (folder.isEmpty())
        return {};
    const QString exact = folder + "/" + fileName;
    if (QFileInfo::exists(exact))
        return exact;
    for (const QString& entry : QDir(folder).entryList(QDir::Files)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + "/" + entry;
    }
    return exact;
}
