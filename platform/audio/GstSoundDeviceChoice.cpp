#include "platform/audio/GstSoundDeviceChoice.h"

#include "platform/gst/GstUtil.h"

#include <algorithm>

namespace {

// A sound server asked to open a stream answers in milliseconds; the rest is
// margin for a machine busy starting the program.
constexpr GstClockTime kTrialTimeout = 5 * GST_SECOND;

std::vector<QString> devicesFor(GstSoundDeviceChoice::Direction direction)
{
    if (direction == GstSoundDeviceChoice::Direction::Output)
        return {QStringLiteral("pulsesink"), QStringLiteral("alsasink device=default")};
    return {QStringLiteral("pulsesrc"), QStringLiteral("alsasrc device=default")};
}

// Stand-ins that keep real time, so ranges end when they should and a take
// holds as much silence as it was long.
QString standInFor(GstSoundDeviceChoice::Direction direction)
{
    if (direction == GstSoundDeviceChoice::Direction::Output)
        return QStringLiteral("fakesink sync=true");
    return QStringLiteral("audiotestsrc wave=silence is-live=true");
}

// Builds the trial of one device: a few milliseconds of silence played
// through it, or one buffer recorded from it. Floating, or nullptr with the
// reason in *why.
GstElement* makeTrial(GstSoundDeviceChoice::Direction direction, const QString& device, QString* why)
{
    GstElement* endpoint = gstutil::elementFromDescription(device, why);
    if (!endpoint)
        return nullptr;
    const bool output = direction == GstSoundDeviceChoice::Direction::Output;
    const QString rest = output
        ? QStringLiteral("audiotestsrc wave=silence num-buffers=1 samplesperbuffer=441 ! audioconvert ! audioresample")
        : QStringLiteral("fakesink num-buffers=1");
    GstElement* other = gstutil::elementFromDescription(rest, why);
    if (!other) {
        gst_object_unref(gst_object_ref_sink(endpoint));
        return nullptr;
    }
    GstElement* pipeline = gst_pipeline_new("sound-device-trial");
    gst_bin_add_many(GST_BIN(pipeline), endpoint, other, nullptr);
    if (!(output ? gst_element_link(other, endpoint) : gst_element_link(endpoint, other))) {
        *why = QStringLiteral("无法连接音频组件“%1”").arg(device);
        gst_object_unref(gst_object_ref_sink(pipeline));
        return nullptr;
    }
    return pipeline;
}

}  // namespace

GstSoundDeviceChoice::GstSoundDeviceChoice(Direction direction)
    : GstSoundDeviceChoice(direction, devicesFor(direction))
{
}

GstSoundDeviceChoice::GstSoundDeviceChoice(Direction direction, std::vector<QString> devices)
    : direction_(direction)
    , devices_(std::move(devices))
    , standIn_(standInFor(direction))
{
    gstutil::ensureInitialised();
}

GstSoundDeviceChoice::~GstSoundDeviceChoice()
{
    // The trial's thread reads this object's members.
    std::lock_guard<std::mutex> lock(mutex_);
    if (choice_.valid())
        choice_.wait();
}

void GstSoundDeviceChoice::prepare()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (choice_.valid())
        return;
    choice_ = std::async(std::launch::async,
        [this, first = firstUntried_, failure = firstFailure_] { return choose(first, failure); })
                  .share();
}

GstSoundDeviceChoice::Endpoint GstSoundDeviceChoice::endpoint()
{
    prepare();
    std::shared_future<Endpoint> choice;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        choice = choice_;
    }
    return choice.get();
}

void GstSoundDeviceChoice::failed(const QString& description, const QString& why)
{
    std::lock_guard<std::mutex> lock(mutex_);
    // Several players may report the same failure; only the first moves on.
    if (!choice_.valid() || choice_.get().description != description)
        return;
    const auto device = std::find(devices_.begin(), devices_.end(), description);
    if (device == devices_.end())
        return;
    firstUntried_ = int(device - devices_.begin()) + 1;
    if (firstFailure_.isEmpty())
        firstFailure_ = why;
    choice_ = {};
}

GstSoundDeviceChoice::Endpoint GstSoundDeviceChoice::choose(int firstDevice, QString firstFailure) const
{
    for (int i = firstDevice; i < int(devices_.size()); ++i) {
        QString why;
        if (works(devices_[i], &why))
            return {devices_[i], {}};
        if (firstFailure.isEmpty())
            firstFailure = why;
    }
    return {standIn_, firstFailure.isEmpty() ? QStringLiteral("没有声音设备") : firstFailure};
}

bool GstSoundDeviceChoice::works(const QString& device, QString* why) const
{
    GstElement* pipeline = makeTrial(direction_, device, why);
    if (!pipeline)
        return false;
    gst_object_ref_sink(pipeline);
    // A device that opens but fails on its first buffer fails here too: the
    // trial ends with end-of-stream only once that buffer went through.
    GstBus* bus = gst_element_get_bus(pipeline);
    const bool started = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, started ? kTrialTimeout : 0, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool passed = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!passed)
        *why = message ? gstutil::errorText(message)
                       : QStringLiteral("%1 秒内没有响应").arg(kTrialTimeout / GST_SECOND);
    if (message)
        gst_message_unref(message);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
    return passed;
}
