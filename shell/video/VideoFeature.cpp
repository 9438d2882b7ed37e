#include "shell/video/VideoFeature.h"

#include "shell/widgets/VideoPane.h"
#include "shell/window/Keys.h"
#include "shell/window/LessonMenu.h"

VideoFeature::VideoFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("videoFeature");
    VideoPane* pane = &context_.videoPane;
    using K = KeyBinding;
    context_.keys.add({
        {Qt::Key_F11, Qt::NoModifier, "F11", "视频课文中，显示或隐藏视频画面", nullptr, K::Never, false,
         [pane] { return pane->togglePicture(); }},
        {Qt::Key_F12, Qt::NoModifier, "F12", "视频课文中，在画面上显示或隐藏当前句的英文（听写时不显示）", nullptr,
         K::Never, false, [pane] { return pane->toggleCaption(); }},
    });
    context_.lessonMenu.add(LessonMenu::Views, [this](QMenu& menu, int) { addMenuEntries(menu); });
}

void VideoFeature::addMenuEntries(QMenu& menu)
{
    VideoPane* pane = &context_.videoPane;
    if (!pane->hasVideo())
        return;
    QAction* picture = menu.addAction("显示视频画面", pane, &VideoPane::togglePicture);
    picture->setCheckable(true);
    picture->setChecked(pane->pictureShown());
    QAction* caption = menu.addAction("画面上显示英文", pane, &VideoPane::toggleCaption);
    caption->setCheckable(true);
    caption->setChecked(pane->captionShown());
}
