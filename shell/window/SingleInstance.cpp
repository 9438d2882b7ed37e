#include "shell/window/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kRetryMs = 100;

// Where the lock and the socket go: the user's runtime folder, which only
// the user can enter; the temporary folder where there is none.
QString lockFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// Names for one user folder: every copy of a portable program folder and
// every user's own folder gets its own lock. The folder is taken as given,
// since a user folder about to be made has no canonical path yet.
QString baseName(const QString& userFolder)
{
    return lockFolder() + "/Lexbay-" +
           QCryptographicHash::hash(userFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
}

}  // namespace

SingleInstance::SingleInstance(const QString& userFolder, QObject* parent)
    : QObject(parent), baseName_(baseName(userFolder)), socketPath_(baseName_ + ".socket"), lock_(baseName_ + ".lock")
{
    // A lock is stale only when the program that took it is gone, however
    // long it has been held.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = server_.nextPendingConnection())
            caller->deleteLater();
        emit raiseRequested();
    });
}

bool SingleInstance::claim()
{
    if (!lock_.tryLock(0))
        return lock_.error() != QLockFile::LockFailedError;
    // The lock is ours, so a socket file left there belongs to a killed run.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
}

bool SingleInstance::raiseRunning(int timeoutMs) const
{
    // The running program may be starting up and not listen yet.
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(kRetryMs)) {
            socket.disconnectFromServer();
            return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kRetryMs);
    }
}
