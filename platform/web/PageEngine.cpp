#include "platform/web/PageEngine.h"

#include "platform/web/FileOnlyInterceptor.h"

#include <QByteArray>
#include <QQuickWindow>
#include <QWebEngineProfile>

namespace {

// The interceptor outlives the profile that calls it.
struct ProfileWithInterceptor {
    FileOnlyInterceptor interceptor;
    QWebEngineProfile profile;
};

// Chromium switches, each with the value this program runs it with; one the
// environment already sets is left as set there.
struct EngineSwitch {
    const char* name;
    const char* value;
};
const EngineSwitch kEngineSwitches[] = {
    // One renderer for all pages of a site, across the views: every page is
    // a local file, and file: is one site.
    {"--process-per-site", ""},
    // The only script is the bridge, which makes little garbage per page but
    // a new context for each: with the default heap sizing the renderer's
    // script heap swells to some 50 MB before it is collected; sized for
    // memory it stays under about 10 MB.
    {"--js-flags", "=--optimize-for-size"},
};

// Settled once, before WebEngine starts (it starts with the first profile).
void settleEngineOptions()
{
    static bool settled = false;
    if (settled)
        return;
    settled = true;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const EngineSwitch& engineSwitch : kEngineSwitches) {
        if (!flags.contains(engineSwitch.name))
            flags += QByteArray(" ") + engineSwitch.name + engineSwitch.value;
    }
    // The zygote exists for the renderer's sandbox (and to start many
    // renderers quickly): where the sandbox is off, as it must be for root,
    // its two processes only hold some 10 MB for the program's one renderer.
    const bool unsandboxed = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") || flags.contains("--no-sandbox");
    if (unsandboxed && !flags.contains("--no-zygote"))
        flags += " --no-zygote";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    // On Linux WebEngine shows a screen reader nothing of a page's content
    // unless told to; it builds the content's accessibility only while a
    // client is attached, so without one nothing changes.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

}  // namespace

void leaveOpenGlUnloaded()
{
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

std::shared_ptr<QWebEngineProfile> sharedPagesProfile()
{
    static std::weak_ptr<QWebEngineProfile> current;
    if (std::shared_ptr<QWebEngineProfile> profile = current.lock())
        return profile;
    settleEngineOptions();
    auto owner = std::make_shared<ProfileWithInterceptor>();
    owner->profile.setHttpCacheType(QWebEngineProfile::NoCache);
    owner->profile.setUrlRequestInterceptor(&owner->interceptor);
    std::shared_ptr<QWebEngineProfile> profile(owner, &owner->profile);
    current = profile;
    return profile;
}
