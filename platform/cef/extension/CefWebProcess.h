// CefWebProcess: the layer in a page's web process. It runs the application's render-process
// handler and reports every frame's window object of the default script world to it as a new
// script context.
#pragma once

#include <memory>
#include <string_view>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefRefPtr.h"

typedef struct _WebKitWebExtension WebKitWebExtension;
typedef struct _WebKitScriptWorld WebKitScriptWorld;
typedef struct _WebKitWebPage WebKitWebPage;
typedef struct _WebKitFrame WebKitFrame;

class CefWebProcess {
public:
    // Once, from the extension's entry point, with the build id the browser process sent. An id
    // of another build starts nothing: the pages then have no application interface.
    static void Start(WebKitWebExtension* extension, std::string_view buildId);

    CefWebProcess(const CefWebProcess&) = delete;
    CefWebProcess& operator=(const CefWebProcess&) = delete;

private:
    friend std::default_delete<CefWebProcess>;

    CefWebProcess(WebKitWebExtension* extension, CefRefPtr<CefRenderProcessHandler> handler);
    ~CefWebProcess();

    static void OnWindowObjectCleared(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame,
                                      void* process);
    void ReportContext(WebKitScriptWorld* world, WebKitWebPage* page, WebKitFrame* frame);

    WebKitWebExtension* m_extension;  // WebKit's, alive as long as the process
    CefRefPtr<CefRenderProcessHandler> m_handler;
};
