#include "platform/audio/GstWaveDevice.h"

#include "platform/audio/GstBusBridge.h"
#include "platform/gst/GstUtil.h"

#include <QFile>

#include <chrono>
#include <filesystem>

namespace {

// wavenc rewrites the header's sizes only when end-of-stream reaches it;
// it does so within a millisecond, the rest is margin for a loaded machine.
constexpr std::chrono::milliseconds kFinishTimeout{2000};
const QString kTakeSuffix = QStringLiteral(".recording");

std::filesystem::path toNativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

GstWaveDevice::GstWaveDevice(const QString& sinkDescription, const QString& sourceDescription, QObject* parent)
    : WaveDevice(parent)
    , sinkDescription_(sinkDescription)
    , sourceDescription_(sourceDescription)
{
    gstutil::ensureInitialised();
}

GstWaveDevice::GstWaveDevice(
    std::shared_ptr<GstSoundDeviceChoice> output, std::shared_ptr<GstSoundDeviceChoice> input, QObject* parent)
    : WaveDevice(parent)
    , output_(std::move(output))
    , input_(std::move(input))
{
    gstutil::ensureInitialised();
    // The output is chosen now, off this thread, so that the first playback
    // starts on a device already tried. The input is tried only when the
    // first take is recorded: trying it opens the microphone, which desktops
    // show the learner.
    output_->prepare();
}

GstWaveDevice::~GstWaveDevice()
{
    dropPipeline();
    discardTake();
}

void GstWaveDevice::setFileName(const QString& path)
{
    fileName_ = path;
}

QString GstWaveDevice::fileName() const
{
    return fileName_;
}

GstWaveDevice::State GstWaveDevice::state() const
{
    return state_;
}

double GstWaveDevice::position() const
{
    gint64 nanoseconds = 0;
    if (state_ != State::Playing || !gst_element_query_position(active_.pipeline, GST_FORMAT_TIME, &nanoseconds))
        return 0;
    return gstutil::toSeconds(nanoseconds);
}

WavFormat GstWaveDevice::recordingFormat() const
{
    return format_;
}

void GstWaveDevice::command(const QString& word)
{
    using Action = void (GstWaveDevice::*)();
    static const struct {
        const char* word;
        Action action;
    } commands[] = {
        {"Open", &GstWaveDevice::open},
        {"Record", &GstWaveDevice::record},
        {"Save", &GstWaveDevice::save},
        {"Play", &GstWaveDevice::play},
        {"Stop", &GstWaveDevice::stop},
        {"Close", &GstWaveDevice::close},
    };
    for (const auto& entry : commands) {
        if (word.compare(QLatin1String(entry.word), Qt::CaseInsensitive) == 0) {
            (this->*entry.action)();
            return;
        }
    }
}

void GstWaveDevice::open()
{
    // Opening an open device starts over on the file now named.
    close();
    openedPath_ = fileName_;
    // The file is the blank template a take is copied from, so its header
    // fixes the take's format.
    format_ = readWavFormat(openedPath_).value_or(WavFormat::fallback());
    state_ = State::Open;
}

void GstWaveDevice::record()
{
    if (state_ == State::Recorded)
        discardTake();
    else if (state_ != State::Open)
        return;
    QString error;
    const QString source = endpointFrom(input_.get(), sourceDescription_);
    const WavePipeline made = makeWaveRecording(source, format_, takePath(), &error);
    if (startPipeline(made, error, QStringLiteral("录音到“%1”").arg(openedPath_)))
        state_ = State::Recording;
    else
        state_ = State::Open;
}

void GstWaveDevice::save()
{
    if (state_ == State::Recording && !finishRecording())
        return;
    if (state_ != State::Recorded)
        return;
    state_ = State::Open;
    const QString target = fileName_.isEmpty() ? openedPath_ : fileName_;
    std::error_code failure;
    // A rename within one folder replaces the target in one step.
    std::filesystem::rename(toNativePath(takePath()), toNativePath(target), failure);
    if (failure) {
        reportProblem(QStringLiteral("无法把录音保存为“%1”：%2")
                          .arg(target, QString::fromStdString(failure.message())));
        discardTake();
    }
}

void GstWaveDevice::play()
{
    if (state_ == State::Playing)
        endPlayback(DoneSuperseded);
    else if (state_ != State::Open)
        return;
    QString error;
    const QString sink = endpointFrom(output_.get(), sinkDescription_);
    const WavePipeline made = makeWavePlayback(openedPath_, sink, &error);
    if (startPipeline(made, error, QStringLiteral("播放“%1”").arg(openedPath_))) {
        state_ = State::Playing;
        return;
    }
    postDone(DoneFailure);
}

void GstWaveDevice::stop()
{
    if (state_ == State::Playing)
        endPlayback(DoneAborted);
    else if (state_ == State::Recording)
        finishRecording();
}

void GstWaveDevice::close()
{
    if (state_ == State::Playing)
        endPlayback(DoneAborted);
    dropPipeline();
    discardTake();
    state_ = State::Closed;
}

QString GstWaveDevice::endpointFrom(GstSoundDeviceChoice* choice, const QString& given)
{
    activeChoice_ = choice;
    if (!choice)
        return activeEndpoint_ = given;
    const GstSoundDeviceChoice::Endpoint endpoint = choice->endpoint();
    if (endpoint.isStandIn())
        reportMissingDevice(endpoint.missingReason);
    return activeEndpoint_ = endpoint.description;
}

// A chosen device that fails counts as missing: the choice moves on, and
// true says the pipeline may start again on the next one.
bool GstWaveDevice::endpointFailed(GstMessage* message, const QString& why)
{
    if (!activeChoice_ || !gstutil::comesFrom(message, active_.endpoint))
        return false;
    activeChoice_->failed(activeEndpoint_, why);
    return activeChoice_->endpoint().description != activeEndpoint_;
}

bool GstWaveDevice::startPipeline(const WavePipeline& made, const QString& error, const QString& what)
{
    if (!made.pipeline) {
        reportProblem(QStringLiteral("无法%1：%2").arg(what, error));
        return false;
    }
    active_ = made;
    bus_ = new GstBusBridge(active_.pipeline, [this](GstMessage* message) { onBusMessage(message); });
    // A missing or unreadable file fails right here, in the state change;
    // a file that is not a wave fails a moment later with an error message.
    if (gst_element_set_state(active_.pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
        return true;
    QString why = bus_->lastErrorText();
    dropPipeline();
    reportProblem(QStringLiteral("无法%1：%2").arg(what, why.isEmpty() ? QStringLiteral("音频通道没有启动") : why));
    return false;
}

bool GstWaveDevice::finishRecording()
{
    // An EOS event lets wavenc write the final sizes into the header; torn
    // down without it, the file keeps placeholder sizes and is unreadable.
    bus_->armEndOfStreamWait();
    gst_element_send_event(active_.pipeline, gst_event_new_eos());
    const bool finished = bus_->waitForEndOfStream(kFinishTimeout);
    const QString why = bus_->lastErrorText();
    dropPipeline();
    if (finished) {
        state_ = State::Recorded;
        return true;
    }
    discardTake();
    state_ = State::Open;
    reportProblem(QStringLiteral("录音“%1”未能完成：%2")
                      .arg(openedPath_, why.isEmpty() ? QStringLiteral("未在限定时间内结束") : why));
    return false;
}

void GstWaveDevice::dropPipeline()
{
    if (!active_.pipeline)
        return;
    // NULL first: it joins the streaming threads, so none can post to the
    // bridge after it is detached.
    gst_element_set_state(active_.pipeline, GST_STATE_NULL);
    bus_->detach();
    // Later, not now: this may run inside the bridge's own call.
    bus_->deleteLater();
    bus_ = nullptr;
    gst_object_unref(active_.pipeline);
    active_ = {};
}

void GstWaveDevice::discardTake()
{
    if (!openedPath_.isEmpty())
        QFile::remove(takePath());
}

QString GstWaveDevice::takePath() const
{
    return openedPath_ + kTakeSuffix;
}

void GstWaveDevice::onBusMessage(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        if (state_ == State::Playing) {
            dropPipeline();
            state_ = State::Open;
            emit done(DoneSuccessful);
        }
        break;
    case GST_MESSAGE_ERROR: {
        const QString why = gstutil::errorText(message);
        const bool again = endpointFailed(message, why);
        // Already a later event on the GUI thread: signals go out directly.
        if (state_ == State::Playing) {
            dropPipeline();
            state_ = State::Open;
            if (again) {
                play();
                return;
            }
            emit audioProblem(QStringLiteral("无法播放“%1”：%2").arg(openedPath_, why));
            emit done(DoneFailure);
        } else if (state_ == State::Recording) {
            dropPipeline();
            discardTake();
            state_ = State::Open;
            if (again) {
                record();
                return;
            }
            emit audioProblem(QStringLiteral("无法录音到“%1”：%2").arg(openedPath_, why));
        }
        break;
    }
    case GST_MESSAGE_WARNING:
        // A sink or source given by name that finds no device (autoaudiosink,
        // autoaudiosrc) falls back to a silent stand-in that keeps time, and
        // says so only with a warning.
        if (gstutil::comesFrom(message, active_.endpoint))
            reportMissingDevice(gstutil::errorText(message));
        break;
    default:
        break;
    }
}

void GstWaveDevice::endPlayback(int notifyCode)
{
    dropPipeline();
    state_ = State::Open;
    postDone(notifyCode);
}

void GstWaveDevice::postDone(int notifyCode)
{
    QMetaObject::invokeMethod(this, [this, notifyCode] { emit done(notifyCode); }, Qt::QueuedConnection);
}

void GstWaveDevice::reportMissingDevice(const QString& why)
{
    if (endpointProblemReported_)
        return;
    endpointProblemReported_ = true;
    reportProblem(QStringLiteral("没有可用的声音设备（%1），将无声继续").arg(why));
}

void GstWaveDevice::reportProblem(const QString& message)
{
    QMetaObject::invokeMethod(this, [this, message] { emit audioProblem(message); }, Qt::QueuedConnection);
}
