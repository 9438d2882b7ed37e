#pragma once

// The main window on its real platform objects (WebEngine views, GStreamer
// player and wave devices on silent sinks and a test-tone microphone) in a
// program folder of its own. Message boxes are scripted.

#include "WindowHarness.h"

#include "modes/GstMediaPlayer.h"
#include "modes/GstWaveDevice.h"
#include "page/WebEngineHtmlView.h"

class RealWindow {
public:
    explicit RealWindow(const std::function<void(const QString& folder)>& prepare = {});
    ~RealWindow();

    // Runs the start-up, shows the window and waits until the lesson page is
    // in the view.
    MainForm& load();

    MainForm& form() { return *form_; }
    WebEngineHtmlView& content() { return *views_.at(0); }
    WebEngineHtmlView& welcome() { return *views_.at(2); }
    GstMediaPlayer& player() { return *player_; }
    ScriptedMessageBoxes& boxes() { return *boxes_; }
    QString folder() const { return dir_.path(); }
    QString settingsFile() const { return dir_.path() + "/settings.ini"; }

    // A script's result in the page's bridge world, after the writes of this
    // turn have reached the page.
    QVariant runInPage(WebEngineHtmlView& view, const QString& script);
    // The colour of an element as the live page shows it, as "rgb(r, g, b)".
    QString liveColour(const QString& id);
    // A real mouse press and release at the centre of a page element.
    void clickElement(const QString& id);

private:
    QTemporaryDir dir_;
    QString previousFolder_;
    std::vector<WebEngineHtmlView*> views_;
    GstMediaPlayer* player_ = nullptr;
    ScriptedMessageBoxes* boxes_ = nullptr;
    std::unique_ptr<MainForm> form_;
};
