#include "browser/CCefLauncherApp.h"

#include "browser/CCefLauncherV8Handler.h"
#include "browser/LauncherMessages.h"
#include "platform/cef/CefV8Value.h"

void CCefLauncherApp::OnBeforeCommandLineProcessing(const CefString&, CefRefPtr<CefCommandLine> commandLine)
{
    commandLine->AppendSwitch("disable-extensions");
    commandLine->AppendSwitchWithValue("--force-device-scale-factor", "1");
}

CefRefPtr<CefBrowserProcessHandler> CCefLauncherApp::GetBrowserProcessHandler()
{
    return this;
}

CefRefPtr<CefRenderProcessHandler> CCefLauncherApp::GetRenderProcessHandler()
{
    return this;
}

void CCefLauncherApp::OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context)
{
    CefRefPtr<CefV8Value> global = context->GetGlobal();
    CefRefPtr<CefV8Handler> handler = new CCefLauncherV8Handler;
    CefRefPtr<CefV8Value> external = CefV8Value::CreateObject(nullptr);
    CefRefPtr<CefV8Value> startGame = CefV8Value::CreateFunction(kStartGameMessage, handler);
    CefRefPtr<CefV8Value> openWeb = CefV8Value::CreateFunction(kOpenWebMessage, handler);
    // Without any of them this context gets no interface; no other context is affected.
    if (!global || !external || !startGame || !openWeb)
        return;
    external->SetValue(kStartGameMessage, startGame, V8_PROPERTY_ATTRIBUTE_NONE);
    external->SetValue(kOpenWebMessage, openWeb, V8_PROPERTY_ATTRIBUTE_NONE);
    global->SetValue("external", external, V8_PROPERTY_ATTRIBUTE_NONE);
}
