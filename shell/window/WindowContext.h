#pragma once

// What a feature of the window is given when it plugs in: the study it works
// on, the catalogue, the study record, the settings, and the places it adds
// its commands, keys and lesson-menu entries to. The window stays as it is;
// a feature brings everything of its own.

#include <QString>

#include <functional>

class Catalogue;
class Commands;
class HtmlView;
class Keys;
class LessonMenu;
class QWidget;
class SentencePlayback;
class Settings;
class StudyModes;
class StudyRecord;
class StudyRecorder;
class StudySession;
class VideoPane;
struct Platform;

struct WindowContext {
    // The main window, the parent of a feature's objects and dialogs.
    QWidget& window;
    Platform& platform;
    Settings& settings;
    StudySession& session;
    SentencePlayback& playback;
    StudyModes& modes;
    Catalogue& catalogue;
    StudyRecord& record;
    StudyRecorder& recorder;
    // Every command by its name: the toolbar's buttons run them, features add
    // theirs and run each other's by name.
    Commands& commands;
    Keys& keys;
    LessonMenu& lessonMenu;
    // The lesson page's pane, with a video lesson's picture above it.
    VideoPane& videoPane;
    // The lesson page and the word list's page.
    HtmlView& lessonView;
    HtmlView& wordListView;
    // Says a problem once in the status bar.
    std::function<void(const QString& message)> showNotice;
    // Shows lesson `lesson` (from 0) of the volume at `volumePath`, leaving a
    // running study mode and the welcome page.
    std::function<void(const QString& volumePath, int lesson)> showLesson;
    // Whether dictation checks leniently, as its panel is set.
    std::function<bool()> lenientDictation;
};
