#pragma once

// The main window on its real parts: WebEngine views, the GStreamer lesson
// player and wave devices (on a clock-synchronised fake sink and a test-tone
// microphone), the course-data library of the staged program folder, and
// message boxes the test answers. It runs in a program folder of its own, a
// copy of the staged one whose first volume holds a short lesson made from
// the audio test recording.

#include "WindowHarness.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"
#include "platform/web/WebEngineHtmlView.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// Sinks and sources that keep real time without a sound card.
extern const char* const kTestSink;
extern const char* const kTestMicrophone;

// The lesson player, with every play and end-of-stream time-stamped on one
// clock, and the CPU time the process had used by then. The end-of-stream is
// stamped before the window handles it.
class TimedPlayer : public GstMediaPlayer {
public:
    struct Event {
        qint64 atMs;
        double cpuMs;
        bool isPlay;  // false: end-of-stream
        double rangeStart;
        double rangeEnd;
    };

    TimedPlayer(const QElapsedTimer& clock, const QString& sinkDescription);
    void play() override;

    std::vector<Event> events;

private:
    Event stamp(bool isPlay) const;
    const QElapsedTimer& clock_;
};

class ModesWindow {
public:
    // Start times of the short lesson's three sentences in the test recording.
    static constexpr double kSentenceStarts[] = {0.0, 2.0, 4.3};

    // `microphone` is the recorder's source.
    explicit ModesWindow(const std::function<void(const QString& folder)>& prepare = {},
                         const QString& playerSink = kTestSink, const QString& microphone = kTestMicrophone);
    ~ModesWindow();

    // Runs start-up, shows the window and hides the welcome page.
    MainForm& load();
    MainForm& form() { return *form_; }
    WebEngineHtmlView& content() { return *views_.at(0); }
    TimedPlayer& player() { return *player_; }
    GstWaveDevice& recorder() { return *recorder_; }
    ScriptedMessageBoxes& boxes() { return *boxes_; }
    QString folder() const { return dir_.path(); }
    const QElapsedTimer& clock() const { return clock_; }

    // A real mouse press at the centre of an element of the shown lesson page.
    void pressOnPage(const QString& id) { pressAt(centreOf(id)); }
    // The centre of an element in the view's coordinates; (-1, -1) if none.
    QPoint centreOf(const QString& id);
    void pressAt(const QPoint& point);
    // Handles events until done() holds or timeoutMs have passed.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs);

private:
    QVariant runInPage(const QString& script);

    QElapsedTimer clock_;
    QTemporaryDir dir_;
    QString previousFolder_;
    std::vector<WebEngineHtmlView*> views_;
    TimedPlayer* player_ = nullptr;
    GstWaveDevice* recorder_ = nullptr;
    ScriptedMessageBoxes* boxes_ = nullptr;
    std::unique_ptr<MainForm> form_;
};

