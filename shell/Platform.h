#pragma once

// The platform objects the main window works with: real ones in the program,
// stand-ins in tests.

#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDevice.h"
#include "platform/video/VideoFrames.h"
#include "platform/web/HtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "course/RunFolders.h"

#include <QString>

#include <functional>
#include <memory>

struct Platform {
    std::function<std::unique_ptr<HtmlView>()> makeHtmlView;
    std::unique_ptr<MediaPlayer> mePlayer;
    // Where the lesson player shows a video lesson's picture; null when it
    // plays sound only.
    std::shared_ptr<VideoFrames> videoFrames;
    // The daily review's own player, apart from the lesson's, and where it
    // shows a video lesson's picture (null: the review plays sound only).
    // Apart from the lesson player's, so the lesson's pane never shows a
    // sentence under review.
    std::unique_ptr<MediaPlayer> reviewPlayer;
    std::shared_ptr<VideoFrames> reviewFrames;
    std::unique_ptr<WaveDevice> mciRecorder;
    std::unique_ptr<WaveDevice> mciPlayer;
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<CourseLibrary> library;
    // The settings file; empty for the user's own settings store.
    QString settingsFile;
    // The study record's file.
    QString studyRecordFile;
    // The English→Chinese dictionary's file.
    QString dictionaryFile;
    // Where the waves of lesson recordings are kept once worked out (empty:
    // not kept).
    QString waveCacheFolder;
    // Where the volumes lie: those shipped with the program, and the
    // learner's own (empty for none), which win over shipped ones of the
    // same name.
    QString shippedBooks = kBooksFolder;
    QString ownBooks;

    // The program's own: WebEngine views, GStreamer audio on the devices the
    // program chooses (sound server, ALSA, or a silent stand-in), real message boxes, the library from the program folder, the
    // volumes of both books folders.
    static Platform real(const RunFolders& folders);
};

// How many heaps (glibc malloc arenas) the program's threads share at most.
// Each streaming thread of a video would otherwise get a heap of its own and
// keep the frames it once held there; two keep a playing video's memory down
// without the threads waiting on each other.
inline constexpr int kHeapArenas = 2;

// Process-wide memory rules, set once as the program starts, before any
// thread: the heaps limited to kHeapArenas.
void setProcessMemoryRules();
