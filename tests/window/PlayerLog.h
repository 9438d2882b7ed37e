#pragma once

// What the fake lesson player's log shows when the window plays sentences.

#include "shell/window/MainForm.h"
#include "study/StudySession.h"

#include <QStringList>

#include <ostream>

// The log entries of PlaySentence(n, false): range, position, play.
inline QStringList sentenceRange(const MainForm& f, int n)
{
    const auto seconds = [](double value) { return QString::number(value, 'f', 2); };
    const std::vector<double>& times = f.session().sentenceTimes();
    return {"start " + seconds(times.at(n)), "end " + seconds(times.at(n + 1)), "position " + seconds(times.at(n)),
            "play"};
}

// The entries logged since `mark`, and `mark` moved past them.
inline QStringList takeSince(const QStringList& log, int& mark)
{
    const QStringList entries = log.mid(mark);
    mark = log.size();
    return entries;
}

// Readable texts in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
