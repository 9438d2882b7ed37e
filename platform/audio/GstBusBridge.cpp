#include "platform/audio/GstBusBridge.h"

#include "platform/gst/GstUtil.h"

#include <memory>

GstBusBridge::GstBusBridge(GstElement* pipeline, Handler handler)
    : bus_(gst_element_get_bus(pipeline))
    , handler_(std::move(handler))
{
    gst_bus_set_sync_handler(bus_, &GstBusBridge::onSyncMessage, this, nullptr);
}

GstBusBridge::~GstBusBridge()
{
    detach();
}

void GstBusBridge::discardPending()
{
    ++epoch_;
}

void GstBusBridge::detach()
{
    ++epoch_;
    handler_ = nullptr;
    if (bus_) {
        gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
        gst_object_unref(bus_);
        bus_ = nullptr;
    }
}

void GstBusBridge::armEndOfStreamWait()
{
    std::lock_guard<std::mutex> lock(mutex_);
    endOfStreamSeen_ = false;
    errorSeen_ = false;
}

bool GstBusBridge::waitForEndOfStream(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [this] { return endOfStreamSeen_ || errorSeen_; });
    return endOfStreamSeen_ && !errorSeen_;
}

QString GstBusBridge::lastErrorText() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

void GstBusBridge::clearLastError()
{
    std::lock_guard<std::mutex> lock(mutex_);
    lastError_.clear();
}

GstBusSyncReply GstBusBridge::onSyncMessage(GstBus*, GstMessage* message, gpointer self)
{
    auto* bridge = static_cast<GstBusBridge*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ERROR:
        bridge->noteForWaiters(message);
        bridge->postToOwnerThread(message);
        break;
    case GST_MESSAGE_WARNING:
        bridge->postToOwnerThread(message);
        break;
    default:
        break;
    }
    // Nobody pops this bus: keeping messages on it would only pile them up.
    // A handler that drops a message owns it; each message holds its source
    // element, so one left unreleased keeps that element alive for good.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstBusBridge::noteForWaiters(GstMessage* message)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            endOfStreamSeen_ = true;
        } else {
            errorSeen_ = true;
            lastError_ = gstutil::errorText(message);
        }
    }
    changed_.notify_all();
}

void GstBusBridge::postToOwnerThread(GstMessage* message)
{
    std::shared_ptr<GstMessage> held(gst_message_ref(message), gst_message_unref);
    const quint64 postedInEpoch = epoch_.load();
    // Queued calls on this object are dropped by Qt if it is deleted first.
    QMetaObject::invokeMethod(
        this,
        [this, held, postedInEpoch] {
            if (postedInEpoch != epoch_.load() || !handler_)
                return;
            // A copy, because the handler may detach this bridge, which
            // clears handler_ while it runs.
            const Handler handler = handler_;
            handler(held.get());
        },
        Qt::QueuedConnection);
}
