#include "shell/Platform.h"

#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"
#include "platform/web/WebEngineHtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "shell/QtMessageBoxes.h"

Platform Platform::real(const RunFolders& folders)
{
    Platform p;
    p.makeHtmlView = [] { return std::make_unique<WebEngineHtmlView>(); };
    p.mePlayer = std::make_unique<GstMediaPlayer>();
    p.reviewPlayer = std::make_unique<GstMediaPlayer>();
    p.mciRecorder = std::make_unique<GstWaveDevice>();
    p.mciPlayer = std::make_unique<GstWaveDevice>();
    p.messageBoxes = std::make_unique<QtMessageBoxes>();
    p.library = std::make_unique<CourseLibrary>(folders.program + "/liblexbaydll.so");
    p.shippedBooks = folders.shippedBooks();
    p.ownBooks = folders.ownBooks;
    p.studyRecordFile = folders.studyRecord;
    return p;
}
