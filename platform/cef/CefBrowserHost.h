// CefBrowserHost: creates browsers in the browser process.
#pragma once

#include "platform/cef/CefBrowserSettings.h"
#include "platform/cef/CefClient.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"
#include "platform/cef/CefWindowInfo.h"

class CefRequestContext;

class CefBrowserHost {
public:
    // Main thread, after CefInitialize: puts a web view into the parent window's container at
    // the given rectangle, reports it to the client's OnAfterCreated and starts loading url
    // (empty: about:blank). Every browser shares the engine's one context; requestContext is
    // not used. False, with nothing created, without an engine or a parent container.
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                              const CefBrowserSettings& settings, CefRequestContext* requestContext);
};
