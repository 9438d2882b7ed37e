#include "RecordingOpener.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

RecordingOpener::RecordingOpener(double lingerSeconds) : savedPath_(qgetenv("PATH"))
{
    QFile opener(dir_.filePath("xdg-open"));
    if (!opener.open(QIODevice::WriteOnly))
        qFatal("cannot write the stand-in opener");
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + dir_.filePath("record").toUtf8() + "'\nsleep "
                 + QByteArray::number(lingerSeconds) + "\n");
    opener.close();
    opener.setPermissions(opener.permissions() | QFile::ExeOwner);
    qputenv("PATH", dir_.path().toUtf8() + ':' + savedPath_);
}

RecordingOpener::~RecordingOpener()
{
    qputenv("PATH", savedPath_);
}

QStringList RecordingOpener::addresses() const
{
    QFile record(dir_.filePath("record"));
    if (!record.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(record.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList RecordingOpener::waitForAddresses(int count, int timeoutMs)
{
    // The opener runs as a process of its own; events go on meanwhile.
    const QDeadlineTimer deadline(timeoutMs);
    while (addresses().size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return addresses();
}
