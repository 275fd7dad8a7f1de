// CCefLauncherApp: the application object the launcher gives the browser engine in every
// process. It puts two switches on each process's command line, is its own browser-process and
// render-process handler, and installs window.external (StartGame, OpenWeb) into every script
// context.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/cef/CefApp.h"

class CCefLauncherApp : public CefApp, public CefBrowserProcessHandler, public CefRenderProcessHandler {
public:
    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override;
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override;
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override;

    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;

    void AddRef() const override;
    bool Release() const override;
    bool HasOneRef() const override;

private:
    mutable std::atomic<std::int32_t> m_refCount{0};
};
