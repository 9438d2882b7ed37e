#include "shell/Platform.h"

#include "modes/GstMediaPlayer.h"
#include "modes/GstWaveDevice.h"
#include "page/WebEngineHtmlView.h"
#include "shell/CourseLibrary.h"
#include "shell/MessageBoxes.h"

Platform Platform::real(const QString& appPath)
{
    Platform p;
    p.makeHtmlView = [] { return std::make_unique<WebEngineHtmlView>(); };
    p.mePlayer = std::make_unique<GstMediaPlayer>();
    p.mciRecorder = std::make_unique<GstWaveDevice>();
    p.mciPlayer = std::make_unique<GstWaveDevice>();
    p.messageBoxes = std::make_unique<QtMessageBoxes>();
    p.library = std::make_unique<CourseLibrary>(appPath + "/liblexbaydll.so");
    return p;
}
