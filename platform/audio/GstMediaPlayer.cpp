#include "platform/audio/GstMediaPlayer.h"

#include "platform/audio/GstBusBridge.h"
#include "platform/audio/GstDurationScan.h"
#include "platform/audio/GstTempoFilter.h"
#include "platform/gst/GstUtil.h"
#include "platform/video/GstLeadInSkip.h"
#include "platform/video/GstVideoSink.h"
#include "platform/video/VideoFrames.h"

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace {

constexpr GstClockTime kPrerollTimeout = 5 * GST_SECOND;
constexpr GstClockTime kPrerollSlice = 10 * GST_MSECOND;
// How long a file whose demuxer gave up may still take to say why.
constexpr GstClockTime kGaveUpErrorWait = 200 * GST_MSECOND;
// How far ahead of its first sample a range's output is started. A sound
// server's stream starts running as the pipeline starts playing, and the
// samples due before the streaming thread has handed them over are dropped as
// late: with the few milliseconds the sink itself asks for, a range lost its
// first 2-7 ms, more while the machine was busy; 30 ms still lost one 10 ms
// stream segment on a video's first range on a loaded machine. Far below
// what a learner notices after a press.
constexpr GstClockTime kOutputLead = 50 * GST_MSECOND;

// Every video decoder playbin plugs skips what an exact seek need not decode.
void onElementSetup(GstElement*, GstElement* element, gpointer)
{
    skipLeadInIfVideoDecoder(element);
}

// A demuxer that stopped reading without having found a stream. Its error
// can be lost: decodebin drops the errors an element posts while it is being
// brought up, and a file missing its index fails that early, leaving the
// preroll pending with nothing said.
bool demuxerGaveUp(GstElement* pipeline)
{
    bool gaveUp = false;
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    while (!gaveUp && gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
        auto* element = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(element);
        const gchar* kind = factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
        if (kind && std::strstr(kind, "Demux") && element->numsrcpads == 0) {
            GstPad* input = gst_element_get_static_pad(element, "sink");
            gaveUp = input && gst_pad_get_task_state(input) == GST_TASK_PAUSED;
            if (input)
                gst_object_unref(input);
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return gaveUp;
}

}  // namespace

GstMediaPlayer::GstMediaPlayer(const QString& sinkDescription, QObject* parent)
    : MediaPlayer(parent)
{
    makePlaybin();
    if (playbin_ && !installSink(sinkDescription)) {
        bus_->detach();
        delete bus_;
        bus_ = nullptr;
        gst_object_unref(playbin_);
        playbin_ = nullptr;
    }
}

GstMediaPlayer::GstMediaPlayer(std::shared_ptr<GstSoundDeviceChoice> output, QObject* parent)
    : MediaPlayer(parent)
    , output_(std::move(output))
{
    // Chosen now, off this thread, so that the first file opens on a
    // device already tried. The pipeline is made when the first file opens:
    // a player that never opens one (the review's, in a run without review)
    // costs nothing.
    output_->prepare();
}

void GstMediaPlayer::makePlaybin()
{
    gstutil::ensureInitialised();
    playbin_ = gstutil::makeElement("playbin", &lastError_);
    if (!playbin_)
        return;
    gst_object_ref_sink(playbin_);
    // Audio only: a picture tagged into an MP3 must not open a video window.
    gst_util_set_object_arg(G_OBJECT(playbin_), "flags", "audio");
    g_object_set(playbin_, "latency", kOutputLead, nullptr);
    g_signal_connect(playbin_, "element-setup", G_CALLBACK(onElementSetup), nullptr);
    bus_ = new GstBusBridge(playbin_, [this](GstMessage* message) { onBusMessage(message); });
}

bool GstMediaPlayer::installSink(const QString& description)
{
    sink_ = gstutil::elementFromDescription(description, &lastError_);
    if (!sink_)
        return false;
    gst_object_ref_sink(sink_);
    g_object_set(playbin_, "audio-sink", sink_, nullptr);
    sinkDescription_ = description;
    return true;
}

bool GstMediaPlayer::installChosenSink()
{
    const GstSoundDeviceChoice::Endpoint output = output_->endpoint();
    if (!installSink(output.description))
        return false;
    if (output.isStandIn())
        reportMissingOutput(output.missingReason);
    return true;
}

GstMediaPlayer::~GstMediaPlayer()
{
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    // Later, not now: this destructor may run inside the bridge's own call.
    bus_->detach();
    bus_->deleteLater();
    if (sink_)
        gst_object_unref(sink_);
    if (videoSink_)
        gst_object_unref(videoSink_);
    if (tempoFilter_)
        gst_object_unref(tempoFilter_);
    gst_object_unref(playbin_);
}

void GstMediaPlayer::setPictureOutput(std::shared_ptr<VideoFrames> frames)
{
    frames_ = std::move(frames);
    if (videoSink_)
        gst_object_unref(videoSink_);
    videoSink_ = nullptr;
}

void GstMediaPlayer::setFileName(const QString& path)
{
    open(path, false);
}

void GstMediaPlayer::setVideoFileName(const QString& path)
{
    open(path, true);
}

// A recording is played with playbin's audio alone, whatever pictures it
// carries; a video's picture goes to the frame sink and never to a window
// of playbin's own choosing.
void GstMediaPlayer::choosePicture(bool withPicture)
{
    // The frame sink is made for the first video: a run of sound lessons
    // never loads the video converter.
    if (withPicture && frames_ && !videoSink_) {
        videoSink_ = makeVideoFrameSink(frames_);
        if (videoSink_)
            gst_object_ref_sink(videoSink_);
    }
    showsPicture_ = withPicture && videoSink_;
    if (showsPicture_)
        g_object_set(playbin_, "video-sink", videoSink_, nullptr);
    // native-video: the frame sink converts and scales the decoder's frames
    // itself, in one pass, so playbin adds no converter of its own.
    gst_util_set_object_arg(G_OBJECT(playbin_), "flags", showsPicture_ ? "audio+video+native-video" : "audio");
    if (frames_)
        frames_->clear();
}

void GstMediaPlayer::prepareFile(const QString& path, bool video)
{
    openedAhead_ = true;
    startOpening(path, video);
}

void GstMediaPlayer::open(const QString& path, bool withPicture)
{
    const bool ahead = openedAhead_ && fileName_ == path && opensVideo_ == withPicture;
    openedAhead_ = false;
    // A file that could not even start opening ahead has been said already.
    if (ahead && !prerolling_)
        return;
    if (!ahead && !startOpening(path, withPicture))
        return;
    prerolling_ = false;
    opened_ = awaitPreroll();
    if (opened_)
        duration_ = readDuration(path);
}

bool GstMediaPlayer::startOpening(const QString& path, bool withPicture)
{
    fileName_ = path;
    opensVideo_ = withPicture;
    prerolling_ = false;
    forgetPrepared();
    opened_ = false;
    playing_ = false;
    atRangeEnd_ = false;
    ++rangeSerial_;
    rangeSeqnum_ = GST_SEQNUM_INVALID;
    duration_ = 0;
    position_ = 0;
    if (!playbin_ && output_)
        makePlaybin();
    if (!playbin_) {
        reportProblem(lastError_);
        return false;
    }
    lastError_.clear();
    gst_element_set_state(playbin_, GST_STATE_NULL);
    // Whatever the previous file still had on its way to us is stale now.
    bus_->discardPending();
    bus_->clearLastError();
    choosePicture(withPicture);
    if (!sink_ && !installChosenSink()) {
        fail(lastError_);
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        fail((opensVideo_ ? QStringLiteral("无法打开视频“%1”：文件不存在") : QStringLiteral("无法打开录音“%1”：文件不存在"))
                 .arg(path));
        return false;
    }
    outputStarted_ = false;
    rangeFlowing_ = false;
    prerolling_ = startPreroll(path);
    return prerolling_;
}

bool GstMediaPlayer::startPreroll(const QString& path)
{
    GError* gerror = nullptr;
    gchar* uri = gst_filename_to_uri(QFile::encodeName(path).constData(), &gerror);
    if (!uri) {
        fail(cannotPlay(QString::fromUtf8(gerror->message)));
        g_error_free(gerror);
        return false;
    }
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    // The preroll runs on GStreamer's own threads from here; the duration can
    // be read once it is done.
    prerollStart_ = gst_element_set_state(playbin_, GST_STATE_PAUSED);
    return true;
}

bool GstMediaPlayer::awaitPreroll()
{
    // The wait is on the element's state rather than on bus messages: those
    // reach us only through the event loop, which the caller is not running
    // while it waits here. A file that is not media, or a video cut short,
    // posts its error and may leave the state change pending rather than
    // failed: the error ends the wait, and a failure waits a moment for the
    // error that says why.
    GstStateChangeReturn result = prerollStart_;
    QElapsedTimer waited;
    waited.start();
    bool gaveUp = false;
    while (result == GST_STATE_CHANGE_ASYNC && bus_->lastErrorText().isEmpty() && !gaveUp &&
           waited.nsecsElapsed() < qint64(kPrerollTimeout)) {
        result = gst_element_get_state(playbin_, nullptr, nullptr, kPrerollSlice);
        gaveUp = result == GST_STATE_CHANGE_ASYNC && demuxerGaveUp(playbin_);
    }
    if (result == GST_STATE_CHANGE_SUCCESS)
        return true;
    const qint64 saysWhyBy = gaveUp ? waited.nsecsElapsed() + qint64(kGaveUpErrorWait) : qint64(kPrerollTimeout);
    while ((result == GST_STATE_CHANGE_FAILURE || gaveUp) && bus_->lastErrorText().isEmpty() &&
           waited.nsecsElapsed() < saysWhyBy)
        QThread::msleep(kPrerollSlice / GST_MSECOND);
    QString why = bus_->lastErrorText();
    if (why.isEmpty() && gaveUp)
        why = QStringLiteral("文件不完整或已损坏，找不到可播放的内容");
    if (why.isEmpty())
        why = QStringLiteral("%1 秒内未能打开").arg(kPrerollTimeout / GST_SECOND);
    gst_element_set_state(playbin_, GST_STATE_NULL);
    bus_->discardPending();
    fail(cannotPlay(why));
    return false;
}

double GstMediaPlayer::readDuration(const QString& path) const
{
    gint64 nanoseconds = 0;
    if (gst_element_query_duration(playbin_, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0)
        return gstutil::toSeconds(nanoseconds);
    // An MP3 without a LAME/Xing header tells its length only after it has
    // been played through; a parse-only pass finds it in a few milliseconds.
    return scanMpegAudioDuration(path).value_or(0.0);
}

double GstMediaPlayer::duration() const
{
    return duration_;
}

void GstMediaPlayer::stop()
{
    if (opened_ && playing_) {
        gint64 nanoseconds = 0;
        if (gst_element_query_position(playbin_, GST_FORMAT_TIME, &nanoseconds))
            position_ = gstutil::toSeconds(nanoseconds);
    }
    playing_ = false;
    rangeFlowing_ = false;
    ++rangeSerial_;
    rangeSeqnum_ = GST_SEQNUM_INVALID;
    // PAUSED rather than READY keeps the file prerolled, so the next range
    // starts within a couple of milliseconds; pausing posts no end-of-stream.
    if (opened_)
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
    // A stream paused mid-range may be resumed seconds late: one started
    // shortly after the speed went back to 100 % kept counting while paused.
    // The next range gets a stream of its own, as after opening a file.
    outputStarted_ = false;
}

void GstMediaPlayer::setSelectionStart(double seconds)
{
    selectionStart_ = seconds;
}

void GstMediaPlayer::setSelectionEnd(double seconds)
{
    selectionEnd_ = seconds;
}

double GstMediaPlayer::selectionStart() const
{
    return selectionStart_;
}

double GstMediaPlayer::selectionEnd() const
{
    return selectionEnd_;
}

void GstMediaPlayer::setCurrentPosition(double seconds)
{
    position_ = seconds;
    atRangeEnd_ = false;
    if (playing_) {
        playing_ = false;
        play();
    }
}

double GstMediaPlayer::currentPosition() const
{
    gint64 nanoseconds = 0;
    if (opened_ && playing_ && gst_element_query_position(playbin_, GST_FORMAT_TIME, &nanoseconds))
        return gstutil::toSeconds(nanoseconds);
    return position_;
}

void GstMediaPlayer::play()
{
    if (playing_)
        return;
    if (!(selectionEnd_ > selectionStart_)) {
        endRangeAfter(0);
        return;
    }
    double from = atRangeEnd_ ? selectionStart_ : position_;
    if (from >= selectionEnd_)
        from = selectionStart_;
    // Without a playable file the range passes in silence and ends on time,
    // so the modes that step on the end of a sentence keep their rhythm
    // rather than waiting for ever or spinning.
    if (!opened_) {
        endRangeAfter(qRound((selectionEnd_ - qMax(0.0, from)) * 1000));
        return;
    }
    playFrom(qMax(0.0, from));
}

void GstMediaPlayer::setRate(double rate)
{
    if (!(rate > 0) || rate == rate_)
        return;
    rate_ = rate;
    // The pitch-keeping filter goes in or out now, while the learner is not
    // waiting for a sentence, rather than at the next press.
    if (opened_ && !playing_ && wantsTempoFilter() != (tempoFilter_ != nullptr)) {
        refitTempoFilter(wantsTempoFilter());
        // Its new stream would count the time until the next range.
        outputStarted_ = false;
    }
}

double GstMediaPlayer::rate() const
{
    return rate_;
}

// The output is made ready for a range at the speed asked for, right before
// the range's seek:
// - playbin takes an audio filter only while stopped: when the pitch-keeping
//   filter goes in or out, the pipeline is stopped and prerolled again with
//   or without it, and so it is while a range still runs through it;
// - scaletempo keeps what it last held through a flushing seek and would
//   sound it at the start of the next range: each range at another speed
//   gets a fresh one inside the filter, the decoders left as they are;
// - a sound server's stream counts its time from the moment the sink made
//   it, so a range played long after the file was opened (a sentence pressed
//   a while after the lesson loaded) would begin with as much silence as it
//   had waited: the first range after a file opened gets a stream of its
//   own. Restarting the sink alone leaves the decoders as they were, so the
//   range's seek that follows is all the pipeline has to do.
// Returns the scaletempo a fresh one replaced, to release once the range's
// seek is done (nullptr when none was).
GstElement* GstMediaPlayer::prepareOutput()
{
    if (wantsTempoFilter() != (tempoFilter_ != nullptr) || (tempoFilter_ && rangeFlowing_)) {
        refitTempoFilter(wantsTempoFilter());
        outputStarted_ = true;
        return nullptr;
    }
    // First, so a streaming thread a stop left waiting in the sink has left
    // the filter before its scaletempo is replaced.
    if (!outputStarted_)
        restartSink();
    outputStarted_ = true;
    return tempoFilter_ ? renewTempo(tempoFilter_) : nullptr;
}

bool GstMediaPlayer::wantsTempoFilter() const
{
    return rate_ != 1.0 && !tempoFilterFailed_;
}

void GstMediaPlayer::refitTempoFilter(bool wanted)
{
    forgetPrepared();
    if (tempoFilter_)
        gst_object_unref(tempoFilter_);
    tempoFilter_ = nullptr;
    if (wanted) {
        QString why;
        tempoFilter_ = makeTempoFilter(&why);
        if (tempoFilter_) {
            gst_object_ref_sink(tempoFilter_);
        } else {
            tempoFilterFailed_ = true;
            emit audioProblem(QStringLiteral("无法保持音高变速播放（%1）：课文录音的音高将随语速改变").arg(why));
        }
    }
    gst_element_set_state(playbin_, GST_STATE_READY);
    g_object_set(playbin_, "audio-filter", tempoFilter_, nullptr);
    // The picture stays as it is until the range's own first frame comes.
    if (showsPicture_)
        frames_->setHeld(true);
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
    gst_element_get_state(playbin_, nullptr, nullptr, kPrerollTimeout);
    if (showsPicture_)
        frames_->setHeld(false);
}

// Brings the sink of the paused pipeline down and up again: it lets go of
// its device stream and makes a new one. The flushing seek that follows
// prerolls it again.
void GstMediaPlayer::restartSink()
{
    gst_element_set_state(sink_, GST_STATE_READY);
    gst_element_set_state(sink_, GST_STATE_PAUSED);
}

guint32 GstMediaPlayer::seekRange(double startSeconds, double endSeconds)
{
    // Start and stop in one flushing seek: the stop time makes the pipeline
    // end the segment exactly there and post an EOS with this seek's seqnum.
    // ACCURATE decodes from before the start and clips, so the range begins on
    // the sample asked for rather than on the nearest frame. The seek's rate
    // is the speed; the tempo filter keeps the pitch.
    GstEvent* seek = gst_event_new_seek(rate_, GST_FORMAT_TIME,
        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
        gstutil::toClockTime(startSeconds), GST_SEEK_TYPE_SET, gstutil::toClockTime(endSeconds));
    const guint32 seqnum = gst_event_get_seqnum(seek);
    return gst_element_send_event(playbin_, seek) ? seqnum : GST_SEQNUM_INVALID;
}

void GstMediaPlayer::prepareRange(double start, double end)
{
    // Only while the output runs at the recorded speed: a range that needs
    // the pipeline prerolled afresh would lose the seek.
    if (!opened_ || playing_ || !showsPicture_ || !outputStarted_ || rate_ != 1.0 || tempoFilter_ || !(end > start))
        return;
    if (prepared_ && preparedStart_ == start && preparedEnd_ == end)
        return;
    // The frame on show stays until the prepared range plays.
    frames_->setHeld(true);
    // A range that ended leaves the pipeline playing: sought there, the
    // prepared range would sound at once.
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
    preparedStart_ = qMax(0.0, start);
    preparedSeqnum_ = seekRange(preparedStart_, end);
    prepared_ = preparedSeqnum_ != GST_SEQNUM_INVALID;
    preparedEnd_ = end;
    if (!prepared_)
        frames_->setHeld(false);
}

// The range asked for is the one prepared: the pipeline waits at its first
// frame and only has to run.
bool GstMediaPlayer::playPrepared(double startSeconds)
{
    if (!prepared_ || preparedStart_ != startSeconds || preparedEnd_ != selectionEnd_ || rate_ != 1.0 ||
        tempoFilter_) {
        forgetPrepared();
        return false;
    }
    prepared_ = false;
    ++rangeSerial_;
    rangeSeqnum_ = preparedSeqnum_;
    playing_ = true;
    rangeFlowing_ = true;
    atRangeEnd_ = false;
    frames_->setHeld(false);
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
    return true;
}

void GstMediaPlayer::forgetPrepared()
{
    if (!prepared_)
        return;
    prepared_ = false;
    if (frames_)
        frames_->setHeld(false);
}

void GstMediaPlayer::playFrom(double startSeconds)
{
    if (playPrepared(startSeconds))
        return;
    GstElement* retiredTempo = prepareOutput();
    const guint32 seqnum = seekRange(startSeconds, selectionEnd_);
    releaseTempo(retiredTempo);
    ++rangeSerial_;
    if (seqnum == GST_SEQNUM_INVALID) {
        lastError_ = QStringLiteral("无法播放录音“%1”的第 %2 秒至第 %3 秒：无法定位")
                         .arg(fileName_)
                         .arg(startSeconds)
                         .arg(selectionEnd_);
        endRangeAfter(0);
        return;
    }
    rangeSeqnum_ = seqnum;
    playing_ = true;
    rangeFlowing_ = true;
    atRangeEnd_ = false;
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GstMediaPlayer::endRangeAfter(int milliseconds)
{
    if (opened_)
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
    playing_ = true;
    atRangeEnd_ = false;
    rangeSeqnum_ = GST_SEQNUM_INVALID;
    const quint64 serial = ++rangeSerial_;
    // Later, like a real end-of-stream, so the caller never re-enters itself;
    // a stop, a new range or a new file in between cancels it.
    QTimer::singleShot(qMax(0, milliseconds), Qt::PreciseTimer, this, [this, serial] {
        if (serial != rangeSerial_ || !playing_)
            return;
        playing_ = false;
        atRangeEnd_ = true;
        emit endOfStream(0);
    });
}

void GstMediaPlayer::onBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        onEndOfStream(message);
        break;
    case GST_MESSAGE_ERROR:
        onError(message);
        break;
    case GST_MESSAGE_WARNING:
        // A sink given by name that finds no device (autoaudiosink) falls
        // back to a fake sink that keeps time, and says so only with a warning.
        if (gstutil::comesFrom(message, sink_))
            reportMissingOutput(gstutil::errorText(message));
        break;
    default:
        break;
    }
}

void GstMediaPlayer::onEndOfStream(GstMessage* message)
{
    if (!playing_ || gst_message_get_seqnum(message) != rangeSeqnum_)
        return;
    // Where the range ended, kept: the pipeline moves on when the next range
    // is made ready.
    position_ = currentPosition();
    playing_ = false;
    rangeFlowing_ = false;
    atRangeEnd_ = true;
    emit endOfStream(0);
}

void GstMediaPlayer::onError(GstMessage* message)
{
    if (!opened_)
        return;
    const bool wasPlaying = playing_;
    forgetPrepared();
    opened_ = false;
    playing_ = false;
    ++rangeSerial_;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    bus_->discardPending();
    const QString why = gstutil::errorText(message);
    if (outputFailed(message, why))
        open(fileName_, showsPicture_);
    else
        fail(cannotPlay(why));
    // The range under way cannot reach its end any more: it ends here.
    if (wasPlaying)
        endRangeAfter(0);
}

// A chosen output that fails counts as missing: it is given up, and true
// says the file may open again on the next output the program chooses.
bool GstMediaPlayer::outputFailed(GstMessage* message, const QString& why)
{
    if (!output_ || !gstutil::comesFrom(message, sink_))
        return false;
    const QString failed = sinkDescription_;
    output_->failed(failed, why);
    g_object_set(playbin_, "audio-sink", nullptr, nullptr);
    gst_object_unref(sink_);
    sink_ = nullptr;
    return output_->endpoint().description != failed;
}

void GstMediaPlayer::reportMissingOutput(const QString& why)
{
    if (outputProblemReported_)
        return;
    outputProblemReported_ = true;
    reportProblem(QStringLiteral("没有可用的放音设备（%1），课文录音将无声播放").arg(why));
}

void GstMediaPlayer::reportProblem(const QString& message)
{
    QMetaObject::invokeMethod(this, [this, message] { emit audioProblem(message); }, Qt::QueuedConnection);
}

// The file open said to be a video is named as one; anything else is the
// lesson's recording.
QString GstMediaPlayer::cannotPlay(const QString& why) const
{
    return (opensVideo_ ? QStringLiteral("无法播放视频“%1”：%2") : QStringLiteral("无法播放录音“%1”：%2"))
        .arg(fileName_, why);
}

void GstMediaPlayer::fail(const QString& message)
{
    lastError_ = message;
    reportProblem(message);
}

double GstMediaPlayer::outputLeadSeconds() const { return double(kOutputLead) / GST_SECOND; }

QString GstMediaPlayer::lastError() const
{
    return lastError_;
}
