#pragma once

#include <QObject>
#include <QString>

// A wave-audio device driven by command words: "Open", "Record", "Save",
// "Play", "Stop", "Close". Unknown words and commands that do not fit the
// device's state are ignored.
class WaveDevice : public QObject {
    Q_OBJECT
public:
    // Codes of the done() notification.
    static constexpr int DoneSuccessful = 1;  // the playback ran to its end
    static constexpr int DoneSuperseded = 2;  // a new "Play" replaced it
    static constexpr int DoneAborted = 4;     // "Stop" or "Close" ended it
    static constexpr int DoneFailure = 8;     // the file could not be played

    using QObject::QObject;

    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;
    virtual void command(const QString& word) = 0;
    // While a playback runs, how far it has come in seconds; 0 otherwise.
    virtual double position() const = 0;

signals:
    // Once per playback that "Play" started, always delivered later on the
    // GUI thread, never inside command().
    void done(int notifyCode);
    // The input or output fell back to a silent stand-in, or a file cannot be
    // recorded or played.
    void audioProblem(const QString& message);
};
