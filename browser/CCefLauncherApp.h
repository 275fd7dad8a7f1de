// CCefLauncherApp: the application object the launcher gives the browser engine in every
// process. It puts two switches on each process's command line, is its own browser-process and
// render-process handler, and installs window.external (StartGame, OpenWeb) into every script
// context.
#pragma once


#include "platform/cef/CefApp.h"
#include "platform/cef/CefRefCounted.h"

class CCefLauncherApp : public CefRefCounted<CefApp, CefBrowserProcessHandler, CefRenderProcessHandler> {
public:
    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override;
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override;
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override;

    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;
};
