// The launcher's web processes run the same application object as its own process.
#include "browser/CCefLauncherApp.h"
#include "platform/cef/extension/CefWebProcessApp.h"

CefRefPtr<CefApp> CefCreateWebProcessApp()
{
    return new CCefLauncherApp;
}
