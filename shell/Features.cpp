#include "shell/Features.h"

#include "shell/ankiexport/AnkiExportFeature.h"
#include "shell/boundaries/BoundariesFeature.h"
#include "shell/import/OwnLessonsFeature.h"
#include "shell/mp3/Mp3Feature.h"
#include "shell/record/StudyRecordFeature.h"
#include "shell/review/ReviewFeature.h"
#include "shell/video/VideoFeature.h"
#include "shell/words/WordsFeature.h"
#include "shell/window/MainForm.h"

void plugInFeatures(MainForm& window)
{
    // Each feature is a child of the window and goes with it. The order is
    // the key table's: own lessons' keys come before the video's. The
    // boundary editor's menu entry comes before 删除本课, which stays last.
    const WindowContext context = window.context();
    new ReviewFeature(context);
    new BoundariesFeature(context);
    new OwnLessonsFeature(context);
    new AnkiExportFeature(context);
    new StudyRecordFeature(context);
    new Mp3Feature(context);
    new VideoFeature(context);
    new WordsFeature(context);
}
