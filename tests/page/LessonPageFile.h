#pragma once

// Lesson pages for the view's tests, written the way the page generator
// writes them: GB18030 bytes, CR LF line ends kept inside the elements.

#include <QByteArray>
#include <QString>

#include <vector>

struct PageSentence {
    QString english;
    QString chinese;  // empty: no Chinese row
};

QByteArray lessonPageBytes(const std::vector<PageSentence>& sentences, const QByteArray& extraBodyMarkup = {});
std::vector<PageSentence> numberedSentences(int count);
void writePageFile(const QString& path, const QByteArray& bytes);
