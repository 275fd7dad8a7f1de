// CefEngine: the browser process's engine between CefInitialize and CefShutdown: one WebKit web
// context for every browser, with the launcher's web-process extension, language and cache.
// Main thread only.
#pragma once

#include <string>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefMainArgs.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefSettings.h"
#include "platform/win/GObjectPtr.h"

typedef struct _WebKitWebContext WebKitWebContext;

class CefEngine {
public:
    // Null outside CefInitialize ... CefShutdown.
    static CefEngine* Get();
    static bool Start(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application);
    static void Stop();

    // The folder of the web-process extension: $ZORV_WEB_EXTENSION_DIR when set, else the folder
    // "web-extension" beside the executable. WebKit loads every module of that folder.
    static std::string WebExtensionDirectory();
    // Where the engine keeps its cache and data for the launcher's cache path: the folders the
    // path names below a Windows user's temporary folder ("...\AppData\Local\Temp\", in any
    // case) below $XDG_CACHE_HOME (else ~/.cache); empty for a path outside that folder.
    static std::string CacheDirectory(const std::wstring& cachePath);

    CefEngine(const CefEngine&) = delete;
    CefEngine& operator=(const CefEngine&) = delete;
    ~CefEngine() = default;

    WebKitWebContext* GetWebContext() const { return m_context.get(); }
    // The page scale from "--force-device-scale-factor"; 0 when the switch is not given.
    double GetDeviceScaleFactor() const { return m_deviceScaleFactor; }

private:
    CefEngine(WebKitWebContext* context, CefRefPtr<CefApp> application, double deviceScaleFactor);

    CefRefPtr<CefApp> m_application;
    double m_deviceScaleFactor;
    GObjectPtr<WebKitWebContext> m_context;  // released first, as the engine goes
};
