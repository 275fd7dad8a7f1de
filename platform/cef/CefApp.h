// CefApp: the application object the engine is started with, in the browser process and in
// every page's web process; and the engine's process-wide calls.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowserProcessHandler.h"
#include "platform/cef/CefCommandLine.h"
#include "platform/cef/CefMainArgs.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefRenderProcessHandler.h"
#include "platform/cef/CefSettings.h"
#include "platform/cef/CefString.h"

class CefApp : public virtual CefBase {
public:
    // Before the layer reads the process's command line. processType: empty in the browser
    // process, "renderer" in a page's web process, the "--type" value in a sub-process start.
    virtual void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) {}
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

// WebKit starts its own web processes, so the engine never starts this program again. A start
// with "--type=..." still takes the sub-process road: the command line is processed and 0, the
// exit code, is returned at once. Any other start is the browser process: -1.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windowsSandboxInfo);
// Browser process, main thread: sets up the engine that CefBrowserHost::CreateBrowser uses. The
// engine's callbacks run on the GTK main thread. False when the engine is already set up.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void* windowsSandboxInfo);
// Drops the engine; browsers still open keep what they use until they close.
void CefShutdown();
// The engine's loop is the GTK main loop that the windows run themselves; there is no loop of the
// engine's own to quit, so this does nothing.
void CefQuitMessageLoop();
// The program pins the window scale at 1 (GDK_SCALE) before GTK opens its display, which is
// before the launcher's start-up calls this; there is nothing left to do here.
void CefEnableHighDPISupport();
