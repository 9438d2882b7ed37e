#pragma once

// One window per user folder. The first run takes a lock and listens on a
// local socket, both in the user's runtime folder and named after the user
// folder; a later start finds the lock taken, asks the running program to
// bring its window to the front and ends instead of writing the same pages.
// A lock left behind by a killed run does not count.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& userFolder, QObject* parent = nullptr);

    // Takes the lock and starts listening. False only when a running program
    // holds the lock; when no lock can be made at all the run goes on
    // without one.
    bool claim();
    // Asks the program holding the lock to show its window; false when it
    // does not answer within the time.
    bool raiseRunning(int timeoutMs) const;

signals:
    // A later start asked for the window.
    void raiseRequested();

private:
    // The lock's and the socket's path without extension.
    QString baseName_;
    QString socketPath_;
    QLockFile lock_;
    QLocalServer server_;
};
