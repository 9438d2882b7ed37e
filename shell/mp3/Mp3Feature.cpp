#include "shell/mp3/Mp3Feature.h"

#include "shell/Platform.h"
#include "shell/mp3/Mp3Form.h"
#include "shell/window/Commands.h"

Mp3Feature::Mp3Feature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("mp3Feature");
    context_.commands.add("btMp3", "MP3导出", [this] { btMp3_click(); }, this);
}

void Mp3Feature::btMp3_click()
{
    Mp3Form dialog(*context_.platform.library);
    dialog.exec();
}
