#pragma once

#include "platform/audio/GstSoundDeviceChoice.h"
#include "platform/audio/MediaPlayer.h"

#include <gst/gst.h>

#include <memory>

class GstBusBridge;
class VideoFrames;

// The lesson player on a GStreamer playbin. A recording plays as sound only;
// a video opened with setVideoFileName() plays its sound and, given a picture
// output, its frames on the same pipeline and clock, so the two cannot drift.
// This object owns the pipeline and is its only door.
//
// A range is played with one flushing, accurate seek that carries both the
// start and the stop time, so the pipeline itself ends exactly at the range
// end and posts end-of-stream there; nothing polls the position.
class GstMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    // Plays on `sinkDescription`, a gst-launch style sink such as
    // "fakesink sync=true".
    explicit GstMediaPlayer(const QString& sinkDescription, QObject* parent = nullptr);
    // Plays on the output `output` chooses, made when the first file opens.
    explicit GstMediaPlayer(
        std::shared_ptr<GstSoundDeviceChoice> output = std::make_shared<GstSoundDeviceChoice>(
            GstSoundDeviceChoice::Direction::Output),
        QObject* parent = nullptr);
    ~GstMediaPlayer() override;

    // Where the frames of a video go from the next file opened on.
    void setPictureOutput(std::shared_ptr<VideoFrames> frames);

    void setFileName(const QString& path) override;
    void setVideoFileName(const QString& path) override;
    void prepareFile(const QString& path, bool video) override;
    double duration() const override;
    void stop() override;
    void setSelectionStart(double seconds) override;
    void setSelectionEnd(double seconds) override;
    double selectionStart() const override;
    double selectionEnd() const override;
    void setCurrentPosition(double seconds) override;
    double currentPosition() const override;
    void play() override;
    void setRate(double rate) override;
    double rate() const override;
    // A video's range is sought while idle, its first frame held back until
    // the range plays; a recording's seek is quick enough as it is.
    void prepareRange(double start, double end) override;
    double outputLeadSeconds() const override;
    QString lastError() const override;

private:
    void makePlaybin();
    void open(const QString& path, bool withPicture);
    void choosePicture(bool withPicture);
    bool installSink(const QString& description);
    bool installChosenSink();
    // The open's first half: the pipeline set to the file and prerolling;
    // false, said, when it cannot even start. The second half waits for the
    // preroll and reads the duration.
    bool startOpening(const QString& path, bool withPicture);
    bool startPreroll(const QString& path);
    bool awaitPreroll();
    double readDuration(const QString& path) const;
    void playFrom(double startSeconds);
    // A flushing, exact seek to [startSeconds, selection end); its seqnum,
    // GST_SEQNUM_INVALID when the pipeline refused it.
    guint32 seekRange(double startSeconds, double endSeconds);
    bool playPrepared(double startSeconds);
    void forgetPrepared();
    GstElement* prepareOutput();
    bool wantsTempoFilter() const;
    void refitTempoFilter(bool wanted);
    void restartSink();
    // Ends the range without playing it, that long from now.
    void endRangeAfter(int milliseconds);
    void onBusMessage(GstMessage* message);
    void onEndOfStream(GstMessage* message);
    void onError(GstMessage* message);
    bool outputFailed(GstMessage* message, const QString& why);
    void reportMissingOutput(const QString& why);
    void reportProblem(const QString& message);
    void fail(const QString& message);
    QString cannotPlay(const QString& why) const;

    GstElement* playbin_ = nullptr;
    GstElement* sink_ = nullptr;
    // Where the sink comes from when it was not given: the sink in use then
    // is sinkDescription_.
    std::shared_ptr<GstSoundDeviceChoice> output_;
    QString sinkDescription_;
    GstBusBridge* bus_ = nullptr;
    std::shared_ptr<VideoFrames> frames_;
    GstElement* videoSink_ = nullptr;
    // The file open is a video whose picture is shown.
    bool showsPicture_ = false;
    // The file open was given as a video, shown or not.
    bool opensVideo_ = false;

    bool opened_ = false;
    // The file is prerolling, opened ahead by prepareFile() or by the open
    // under way; the state change that started it.
    bool prerolling_ = false;
    // The file named was opened ahead, by prepareFile().
    bool openedAhead_ = false;
    GstStateChangeReturn prerollStart_ = GST_STATE_CHANGE_FAILURE;
    QString fileName_;
    double duration_ = 0;
    double selectionStart_ = 0;
    double selectionEnd_ = 0;
    double position_ = 0;
    double rate_ = 1.0;
    // The pitch-keeping tempo filter, in only while ranges play at another
    // speed, so at the recorded speed the pipeline is the plain one.
    GstElement* tempoFilter_ = nullptr;
    // It could not be made: ranges at other speeds change the pitch too.
    bool tempoFilterFailed_ = false;
    // A range's buffers may be on their way through the pipeline: set as a
    // range starts, cleared when it has ended or was stopped.
    bool rangeFlowing_ = false;
    // The output was prerolled afresh for a range since the file was opened.
    bool outputStarted_ = false;

    // Playing one range; an end-of-stream counts only while this is set.
    bool playing_ = false;
    // The last range ran to its end: the next play starts at the range start.
    bool atRangeEnd_ = false;
    // Seqnum of the seek that started the range now playing. GStreamer gives
    // the end-of-stream of a segment the seqnum of the seek that made it, so
    // an EOS left over from an earlier range is recognised and dropped.
    guint32 rangeSeqnum_ = GST_SEQNUM_INVALID;
    // Bumped by every play and stop, so a queued end of an empty range that
    // was overtaken by them is dropped.
    quint64 rangeSerial_ = 0;
    bool outputProblemReported_ = false;

    // The pipeline was sought to this range by prepareRange() and waits in
    // it, its frames held back; its seek's seqnum.
    bool prepared_ = false;
    double preparedStart_ = 0;
    double preparedEnd_ = 0;
    guint32 preparedSeqnum_ = GST_SEQNUM_INVALID;
    QString lastError_;
};
