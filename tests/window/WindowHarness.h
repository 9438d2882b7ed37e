#pragma once

// A main window on stand-ins, in a program folder of its own: a copy of the
// staged sample course and shipped files, its own settings file, the real
// course-data library. Views, players and message boxes are fakes the test
// drives and inspects.

#include "FakeHtmlView.h"
#include "FakeMediaPlayer.h"
#include "FakeWaveDevice.h"
#include "NamedControls.h"
#include "platform/system/MessageBoxes.h"
#include "shell/window/MainForm.h"
#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>

// Message boxes a test answers: every text shown is recorded; questions take
// the queued answers in order, No when none is left.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    void inform(const QString& text) override { shown << text; }
    bool askYesNo(const QString& text) override
    {
        shown << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList shown;
    std::deque<bool> answers;
};

class WindowHarness {
public:
    // Prepares the program folder and the window; `prepare` may change the
    // folder (course files, settings) before the window is made. With
    // `ownBooks`, the window also lists the learner's own volumes from that
    // subfolder.
    // `adjust` may replace platform objects before the window is made (a
    // real lesson player, say; player() is then not to be used).
    explicit WindowHarness(const std::function<void(const QString& folder)>& prepare = {},
                           const QString& ownBooks = {}, const std::function<void(Platform&)>& adjust = {});
    ~WindowHarness();

    // Runs the window's start-up and waits for the lesson page.
    MainForm& load();

    MainForm& form() { return *form_; }
    FakeHtmlView& content() { return *views_.at(0); }
    FakeHtmlView& words() { return *views_.at(1); }
    FakeHtmlView& welcome() { return *views_.at(2); }
    FakeMediaPlayer& player() { return *player_; }
    FakeMediaPlayer& reviewPlayer() { return *reviewPlayer_; }
    FakeWaveDevice& recorder() { return *recorder_; }
    FakeWaveDevice& wavePlayer() { return *wavePlayer_; }
    ScriptedMessageBoxes& boxes() { return *boxes_; }

    QString folder() const { return dir_.path(); }
    QString settingsFile() const { return dir_.path() + "/settings.ini"; }

    // Presses an element of the shown lesson page by id.
    bool press(const QString& id) { return content().press(id); }
    // The colour last written to an element of the lesson page.
    QString colourOf(const QString& id);
    // Handles queued events for a while.
    static void settle(int milliseconds = 20);

    // The duration the fake player gives every recording.
    static constexpr double kRecordingSeconds = 60.0;

private:
    QTemporaryDir dir_;
    QString previousFolder_;
    std::vector<FakeHtmlView*> views_;
    FakeMediaPlayer* player_ = nullptr;
    FakeMediaPlayer* reviewPlayer_ = nullptr;
    FakeWaveDevice* recorder_ = nullptr;
    FakeWaveDevice* wavePlayer_ = nullptr;
    ScriptedMessageBoxes* boxes_ = nullptr;
    std::unique_ptr<MainForm> form_;
};

// Fills a folder with the staged program's shipped files and sample course
// (not the program or the library).
void stageProgramFolder(const QString& folder);

// Makes sentence n of the loaded lesson last `seconds`.
void setSentenceLength(MainForm& form, int n, double seconds);


// Writes a settings file with the given keys in group "Options".
void writeSettings(const QString& file, const std::vector<std::pair<QString, QString>>& values);
