#pragma once

// A main window on the real platform objects — WebEngine views, GStreamer
// audio on silent devices, the course-data library — in a program folder of
// its own (a copy of the staged one that a test may break first). Only the
// message boxes are scripted.

#include "WindowHarness.h"

#include <QString>
#include <QVariant>
#include <QTemporaryDir>

#include <functional>
#include <iosfwd>
#include <memory>
#include <vector>

class WebEngineHtmlView;

// Which audio devices the window gets.
enum class Audio {
    Silent,         // GStreamer on fake sinks and a test tone as microphone
    Unavailable,    // GStreamer on devices that do not exist
    StandInDevices, // GStreamer lesson player, stand-in wave devices
};

class CourseWindow {
public:
    using Prepare = std::function<void(const QString& folder)>;

    // With `ownBooks`, the window also lists the learner's own volumes from
    // that subfolder.
    explicit CourseWindow(const Prepare& prepare = {}, Audio audio = Audio::Silent, const QString& ownBooks = {});
    ~CourseWindow();

    // Runs the window's start-up (the lesson page is loaded when it returns)
    // and shows the window.
    MainForm& start();
    // Closes the window as the learner does.
    void close();

    MainForm& form() { return *form_; }
    ScriptedMessageBoxes& boxes() { return *boxes_; }
    // The lesson page's view, the word page's, the welcome page's, and the
    // lesson player.
    WebEngineHtmlView& content() { return *views_.at(0); }
    WebEngineHtmlView& words() { return *views_.at(1); }
    WebEngineHtmlView& welcome() { return *views_.at(2); }
    MediaPlayer& player() { return *player_; }

    // A script's result in the lesson page's bridge world.
    QVariant runInPage(const QString& script);
    // An element's colour as the live lesson page shows it: "rgb(r, g, b)".
    QString liveColour(const QString& id);
    // A real mouse press and release at the centre of a lesson page element.
    void clickElement(const QString& id, Qt::MouseButton button = Qt::LeftButton);
    // A real double-click on the characters [from, from + length) of a
    // lesson page element's text.
    void doubleClickText(const QString& id, int from, int length);
    // The pointer moved onto those characters, and left to rest there.
    void restPointerOnText(const QString& id, int from, int length);

    QString folder() const { return dir_.path(); }
    QString settingsFile() const { return dir_.path() + "/settings.ini"; }

private:
    QTemporaryDir dir_;
    QString previousFolder_;
    ScriptedMessageBoxes* boxes_ = nullptr;
    std::vector<WebEngineHtmlView*> views_;
    MediaPlayer* player_ = nullptr;
    std::unique_ptr<MainForm> form_;
};

// Test failures show texts as text.
void PrintTo(const QString& text, std::ostream* out);

// Handles events for a while, sleeping in between.
void settle(int milliseconds);

// Handles events until done() holds or the time is up; true when it held.
bool settleUntil(const std::function<bool()>& done, int timeoutMs);
