#pragma once

// Plays sentences of the lesson recording: sentence n is the range from its
// start to the next sentence's start in the session's timing table. The end
// of a range is reported once, as rangeEnded.

#include <QObject>
#include <QString>

class MediaPlayer;
class StudySession;

class SentencePlayback : public QObject {
    Q_OBJECT
public:
    SentencePlayback(MediaPlayer& player, const StudySession& session, QObject* parent = nullptr);

    // Opens the lesson's recording; returns its length in seconds (0 when it
    // cannot be played). With `video`, the lesson's video plays in its place
    // (its sound track is the recording), unless it cannot be played: then
    // the recording does.
    double openRecording(const QString& file, const QString& video = {});
    // Starts opening what openRecording() with the same files will open, so
    // the opening runs while the caller waits for something else.
    void prepareRecording(const QString& file, const QString& video = {});
    // The lesson plays from its video.
    bool playsVideo() const { return playsVideo_; }
    // The recording last opened.
    const QString& recordingFile() const { return recordingFile_; }

    // Plays sentence nNo, stopping what plays first when stopFirst. A number
    // outside the lesson plays nothing.
    void PlaySentence(int nNo, bool stopFirst);
    // The range last played, once more from its start.
    void playAgain();
    // Plays [start, end) of the recording (a word as it was said), at the
    // speed sentences play at. Its end is no sentence's: no rangeEnded follows.
    void playStretch(double start, double end);
    // Sentence nNo is likely to play next: the player may make ready for it
    // while nothing plays. The current sentence is taken as likely whenever
    // it changes and after a range ends that nothing followed.
    void prepareSentence(int nNo);
    // Ends playback at once; no rangeEnded follows, stopped does.
    void stop();
    // Where playback is, in seconds from the start of the recording.
    double position() const;
    // The length of the range last played, as the player holds it, and as
    // the learner heard it at the speed it played at.
    double rangeSeconds() const;
    double heardSeconds() const;
    // How long after a sentence is started its first sample is heard at the least.
    double outputLeadSeconds() const;
    // The speed the range last played plays at: 1.0 as recorded.
    double rangeRate() const { return rangeRate_; }

    // The speed sentences play at from the next play on, in percent of the
    // recorded speed; the pitch stays.
    void setSpeedPercent(int percent);
    int speedPercent() const { return speedPercent_; }

signals:
    void rangeEnded();
    // Sentence n begins to play, from its start.
    void sentenceStarted(int n);
    // Playback was ended before its range's end.
    void stopped();
    // A stretch played to its end (a range's end is rangeEnded).
    void stretchEnded();

private:
    MediaPlayer& player_;
    const StudySession& session_;
    QString recordingFile_;
    bool playsVideo_ = false;
    int speedPercent_ = 100;
    // The player's rate when the range last played began, and its sentence.
    double rangeRate_ = 1.0;
    int rangeSentence_ = -1;
    // What plays is a stretch, not a sentence.
    bool stretchPlays_ = false;
    // Bumped by every play and preparation, so the end of a range can tell
    // whether what it set off chose the next range already.
    quint64 steps_ = 0;
};
