#pragma once

#include <QObject>
#include <QString>

// The lesson player: one opened recording, a play range, a position and an
// end-of-stream event. Times are seconds from the start of the recording.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the file; duration() is readable as soon as this returns. A file
    // that is missing or cannot be decoded leaves duration 0, makes play()
    // pass the range in silence, and says why in lastError(), naming the
    // file.
    virtual void setFileName(const QString& path) = 0;
    // Opens a video in place of a recording: its sound plays as a
    // recording's does, ranges at the same times, and a player with a
    // picture output shows the picture of exactly the range playing.
    virtual void setVideoFileName(const QString& path) { setFileName(path); }
    // Starts opening the file (a video when `video`) without waiting for it,
    // so that work the caller does meanwhile overlaps the opening; the
    // setFileName() or setVideoFileName() that follows for the same file
    // finishes it. Until then the player is as with no file open. A player
    // that cannot open ahead does nothing here.
    virtual void prepareFile(const QString& path, bool video)
    {
        Q_UNUSED(path);
        Q_UNUSED(video);
    }
    virtual double duration() const = 0;

    // Ends playback at once; no end-of-stream follows.
    virtual void stop() = 0;

    // The play range; read back as set. A following play() stops by itself at
    // the range end.
    virtual void setSelectionStart(double seconds) = 0;
    virtual void setSelectionEnd(double seconds) = 0;
    virtual double selectionStart() const = 0;
    virtual double selectionEnd() const = 0;

    // While playing, playback continues from the new position.
    virtual void setCurrentPosition(double seconds) = 0;
    virtual double currentPosition() const = 0;

    // Starts from the current position and returns at once; after an
    // end-of-stream it starts again at the range start. A range whose end is
    // not after its start plays nothing and ends at once; without a playable
    // file a range plays nothing and ends when its time has passed.
    virtual void play() = 0;

    // The speed ranges play at: 1.0 as recorded, 0.5 half as fast, the
    // voice's pitch kept. A range under way keeps its speed; the next play()
    // takes the new one. A range still starts and ends at its times in the
    // recording, whatever the speed.
    virtual void setRate(double rate) = 0;
    virtual double rate() const = 0;

    // The range likely to play next, said while nothing plays: a player may
    // make ready for it, so that a play() of exactly that range starts
    // sooner. Nothing else changes: what shows, what is heard, the position
    // and the range read back stay as they were.
    virtual void prepareRange(double start, double end)
    {
        Q_UNUSED(start);
        Q_UNUSED(end);
    }

    // How long after play() a range's first sample is heard at the least:
    // the output a player starts ahead of the range. A pause timed between
    // two ranges waits that much less to be heard as long as it was meant.
    virtual double outputLeadSeconds() const { return 0; }

    virtual QString lastError() const = 0;

signals:
    // Once each time playback reaches the range end by itself; always a queued
    // event on the GUI thread, never after stop(). `result` carries nothing.
    void endOfStream(int result);
    // The output fell back to a silent stand-in, or a file cannot be played.
    void audioProblem(const QString& message);
};
