#include "course/TimingFile.h"

#include "coursedata/TimingLine.h"
#include "platform/system/CourseLibrary.h"

#include <algorithm>
#include <cmath>

namespace timingfile {

namespace {

// "[mm:ss.hh]"
constexpr int kStampLength = 10;

}  // namespace

int readStarts(CourseLibrary& library, const QString& path, int sentenceCount, std::vector<double>* starts)
{
    starts->assign(size_t(std::max(0, sentenceCount)) + 2, 0.0);
    return library.dllReadAllTimeInfo(path, starts->data(), int(starts->size()));
}

QByteArray stamp(double seconds)
{
    const long hundredths = std::lround(std::max(0.0, seconds) * 100);
    return QStringLiteral("[%1:%2.%3]")
        .arg(hundredths / 6000, 2, 10, QChar('0'))
        .arg(hundredths / 100 % 60, 2, 10, QChar('0'))
        .arg(hundredths % 100, 2, 10, QChar('0'))
        .toLatin1();
}

QByteArray line(double seconds, const QByteArray& text)
{
    return stamp(seconds) + text;
}

std::optional<double> startOf(const QByteArray& line)
{
    if (line.size() < kStampLength)
        return std::nullopt;
    return coursedata::timingLineStart(line.constData(), size_t(line.size()));
}

std::optional<double> moveStart(QList<QByteArray>* lines, int sentence, double delta, double recordingSeconds)
{
    const std::optional<double> before =
        sentence >= 0 && sentence < lines->size() ? startOf(lines->at(sentence)) : std::nullopt;
    if (!before)
        return std::nullopt;
    auto startAt = [lines](int k) { return startOf(lines->at(k)).value_or(0.0); };
    const double earliest = sentence > 0 ? startAt(sentence - 1) + 0.01 : 0.0;
    const double latest = (sentence + 1 < lines->size() ? startAt(sentence + 1) : recordingSeconds) - 0.01;
    const double moved = std::clamp(*before + delta, earliest, std::max(earliest, latest));
    const double start = std::round(moved * 100) / 100;
    (*lines)[sentence] = line(start, lines->at(sentence).mid(kStampLength));
    return start;
}

}  // namespace timingfile
