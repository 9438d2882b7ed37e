#pragma once

// A stand-in for the desktop's opener (xdg-open), first on PATH for as long
// as it lives, that records every address it is given.

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

class RecordingOpener {
public:
    // The stand-in stays running for `lingerSeconds` after recording, as a
    // real opener does while it starts a browser.
    explicit RecordingOpener(double lingerSeconds = 0);
    ~RecordingOpener();

    // The addresses given so far, in order.
    QStringList addresses() const;
    // Waits until at least `count` addresses arrived or the time is up.
    QStringList waitForAddresses(int count, int timeoutMs);

private:
    QTemporaryDir dir_;
    QByteArray savedPath_;
};
