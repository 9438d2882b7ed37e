#pragma once

// Course text is GB2312 or GB18030 bytes (GB18030 is the superset); every
// piece of it the window shows or compares goes through here.

#include <QByteArray>
#include <QString>

QString decodeCourseText(const QByteArray& bytes);
QByteArray encodeCourseText(const QString& text);
