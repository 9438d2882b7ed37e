#pragma once

#include <QObject>
#include <QString>
#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// Carries the messages of one pipeline's bus to the thread this object lives
// on (the GUI thread), and lets that thread wait for end-of-stream without
// running an event loop.
//
// A sync handler is used rather than a bus watch: a watch misses messages
// when an event loop is nested inside its own callback, and the window's
// waits nest loops exactly there. The handler refs each message of interest,
// posts it as a queued call and drops it from the bus.
class GstBusBridge : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(GstMessage*)>;

    // `handler` receives EOS, ERROR and WARNING messages, on this object's thread.
    GstBusBridge(GstElement* pipeline, Handler handler);
    ~GstBusBridge() override;

    // Forgets messages already posted but not yet delivered. Call only while
    // the pipeline is in NULL, so that no streaming thread posts concurrently.
    void discardPending();

    // Unhooks from the bus and delivers nothing more; the object may then be
    // released with deleteLater() even from inside its own handler.
    void detach();

    // Clears the end-of-stream and error marks; call before sending an EOS
    // event, then waitForEndOfStream().
    void armEndOfStreamWait();
    // True when the pipeline reached end-of-stream within the timeout; false
    // on timeout or when an error was posted first.
    bool waitForEndOfStream(std::chrono::milliseconds timeout);

    // The text of the latest ERROR message, kept here because the sync
    // handler takes every message off the bus.
    QString lastErrorText() const;
    void clearLastError();

private:
    static GstBusSyncReply onSyncMessage(GstBus* bus, GstMessage* message, gpointer self);
    void noteForWaiters(GstMessage* message);
    void postToOwnerThread(GstMessage* message);

    GstBus* bus_ = nullptr;
    Handler handler_;
    std::atomic<quint64> epoch_{0};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool endOfStreamSeen_ = false;
    bool errorSeen_ = false;
    QString lastError_;
};
