#include "platform/cef/extension/CefWebProcess.h"

#include <webkit2/webkit-web-extension.h>

#include "platform/cef/CefBuildId.h"
#include "platform/cef/CefMainArgs.h"
#include "platform/cef/CefV8Context.h"
#include "platform/cef/extension/CefPageBrowser.h"
#include "platform/cef/extension/CefWebProcessApp.h"
#include "platform/win/GObjectPtr.h"

namespace {

std::unique_ptr<CefWebProcess> g_process;

}  // namespace

void CefWebProcess::Start(WebKitWebExtension* extension, std::string_view buildId)
{
    if (g_process)
        return;
    if (buildId != kCefBuildId) {
        g_warning("web-process extension of build %s, browser process of build %.*s: pages get no interface",
                  kCefBuildId, static_cast<int>(buildId.size()), buildId.data());
        return;
    }
    CefRefPtr<CefApp> application = CefCreateWebProcessApp();
    if (!application)
        return;
    CefRefPtr<CefCommandLine> commandLine = new CefCommandLine(CefMainArgs(nullptr).argv);
    commandLine->AppendSwitchWithValue("type", "renderer");
    application->OnBeforeCommandLineProcessing("renderer", commandLine);
    CefRefPtr<CefRenderProcessHandler> handler = application->GetRenderProcessHandler();
    if (handler)
        g_process.reset(new CefWebProcess(extension, handler));
}

CefWebProcess::CefWebProcess(WebKitWebExtension* extension, CefRefPtr<CefRenderProcessHandler> handler)
    : m_extension(extension), m_handler(std::move(handler))
{
    g_signal_connect(webkit_script_world_get_default(), "window-object-cleared", G_CALLBACK(OnWindowObjectCleared),
                     this);
}

CefWebProcess::~CefWebProcess()
{
    g_signal_handlers_disconnect_by_data(webkit_script_world_get_default(), this);
}

void CefWebProcess::OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame,
                                          void* process)
{
    static_cast<CefWebProcess*>(process)->ReportContext(world, page, frame);
}

void CefWebProcess::ReportContext(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame)
{
    GObjectPtr<JSCContext> script(webkit_frame_get_js_context_for_script_world(frame, world));
    if (!script)
        return;
    CefRefPtr<CefBrowser> browser = new CefPageBrowser(m_extension, webkit_web_page_get_id(page));
    CefRefPtr<CefV8Context> context = new CefV8Context(script.get(), browser);
    context->Enter();
    m_handler->OnContextCreated(browser, nullptr, context);
    context->Exit();
}
