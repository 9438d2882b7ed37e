#include "shell/Platform.h"

#include "dictionary/Dictionary.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"
#include "platform/web/WebEngineHtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "shell/window/QtMessageBoxes.h"

#include <QStandardPaths>

#include <malloc.h>

Platform Platform::real(const RunFolders& folders)
{
    Platform p;
    p.makeHtmlView = [] { return std::make_unique<WebEngineHtmlView>(); };
    // One choice of output and one of input for the run, shared by the four
    // devices: the output is tried while the window starts, off its thread;
    // the input at the first take.
    auto output = std::make_shared<GstSoundDeviceChoice>(GstSoundDeviceChoice::Direction::Output);
    auto input = std::make_shared<GstSoundDeviceChoice>(GstSoundDeviceChoice::Direction::Input);
    auto lessonPlayer = std::make_unique<GstMediaPlayer>(output);
    p.videoFrames = std::make_shared<VideoFrames>();
    lessonPlayer->setPictureOutput(p.videoFrames);
    p.mePlayer = std::move(lessonPlayer);
    auto reviewPlayer = std::make_unique<GstMediaPlayer>(output);
    p.reviewFrames = std::make_shared<VideoFrames>();
    reviewPlayer->setPictureOutput(p.reviewFrames);
    p.reviewPlayer = std::move(reviewPlayer);
    p.mciRecorder = std::make_unique<GstWaveDevice>(output, input);
    p.mciPlayer = std::make_unique<GstWaveDevice>(output, input);
    p.messageBoxes = std::make_unique<QtMessageBoxes>();
    p.library = std::make_unique<CourseLibrary>(folders.program + "/liblexbaydll.so");
    p.shippedBooks = folders.shippedBooks();
    p.ownBooks = folders.ownBooks;
    p.studyRecordFile = folders.studyRecord;
    p.dictionaryFile = ::dictionaryFile(folders.program);
    p.waveCacheFolder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Lexbay/waves";
    return p;
}

void setProcessMemoryRules()
{
    mallopt(M_ARENA_MAX, kHeapArenas);
}
