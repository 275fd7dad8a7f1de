// CefBrowserProcessHandler: the application's handler in the browser process. The layer asks
// nothing of it; the launcher keeps every default.
#pragma once

#include "platform/cef/CefBase.h"

class CefBrowserProcessHandler : public virtual CefBase {};
