#pragma once

// The platform objects the main window works with: real ones in the program,
// stand-ins in tests.

#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDevice.h"
#include "platform/web/HtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"

#include <QString>

#include <functional>
#include <memory>

struct Platform {
    std::function<std::unique_ptr<HtmlView>()> makeHtmlView;
    std::unique_ptr<MediaPlayer> mePlayer;
    std::unique_ptr<WaveDevice> mciRecorder;
    std::unique_ptr<WaveDevice> mciPlayer;
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<CourseLibrary> library;
    // The settings file; empty for the user's own settings store.
    QString settingsFile;
    // The study record's file; empty for the user's own.
    QString studyRecordFile;

    // The program's own: WebEngine views, GStreamer audio on the default
    // devices, real message boxes, the library from the program folder.
    static Platform real(const QString& appPath);
};
