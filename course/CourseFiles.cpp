#include "course/CourseFiles.h"

#include "platform/system/CourseNames.h"

QString courseFile(const QString& folder, const QString& fileName)
{
    if (folder.isEmpty())
        return {};
    const QString spelled = spelledFileName(folder, fileName);
    return folder + "/" + (spelled.isEmpty() ? fileName : spelled);
}
