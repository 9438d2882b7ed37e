#include "course/CourseFiles.h"

#include "platform/system/CourseNames.h"

QString courseFile(const QString& folder, const QString& fileName)
{
    if (folder.isEmpty())
        return {};
    const QString spelled = spelledFileName(folder, fileName);
    return folder + "/" + (spelled.isEmpty() ? fileName : spelled);
}

QList<QByteArray> courseLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray joinedCourseLines(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

std::pair<int, int> courseSection(const QList<QByteArray>& lines, int k)
{
    int header = -1;
    int first = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).startsWith('$'))
            continue;
        if (first >= 0)
            return {first, i};
        if (++header == k)
            first = i;
    }
    return {first, first >= 0 ? int(lines.size()) : -1};
}
