#pragma once

// How WebEngine runs the views' pages. They are small local documents with
// no animation, video or WebGL: they are drawn in software, and all of them,
// being of the one local site, share one renderer process.

#include <memory>

class QWebEngineProfile;

// Call before the application object is made. On X11 it keeps Qt from
// opening the desktop's OpenGL driver (WebEngine would open it for a shared
// context that nothing draws with, and a software driver alone is tens of
// megabytes).
void leaveOpenGlUnloaded();

// The browser profile the views' pages share while any of them lives: off
// the record, without an HTTP cache (the pages are generated files that
// change under the same name), loading local files only. WebEngine never
// puts pages of different profiles into one renderer process, so sharing it
// is what lets the views share one. The first call settles the engine's
// options, before WebEngine starts.
std::shared_ptr<QWebEngineProfile> sharedPagesProfile();
