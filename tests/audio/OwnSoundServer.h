#pragma once

#include "WavFiles.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A PulseAudio server of the test's own on a null sink, the only one the
// sound-server client finds; the default source is the sink's monitor.
class OwnSoundServer {
public:
    // `rate`: the sample rate of its output.
    explicit OwnSoundServer(int rate = 44100)
    {
        writeFile(folder_.filePath(QStringLiteral("client.conf")), "autospawn = no\n");
        qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(folder_.filePath(QStringLiteral("client.conf"))));
        const QString socket = folder_.filePath(QStringLiteral("pulse.sock"));
        server_.start(QStringLiteral("pulseaudio"),
            QStringLiteral("-n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L").split(' ')
                << QStringLiteral("module-null-sink rate=%1").arg(rate) << QStringLiteral("-L")
                << QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket));
        QDeadlineTimer deadline(30000);
        while (!QFile::exists(socket) && server_.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(50);
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
    }
    ~OwnSoundServer()
    {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    bool running() const { return server_.state() == QProcess::Running; }

private:
    QTemporaryDir folder_;
    QProcess server_;
};
