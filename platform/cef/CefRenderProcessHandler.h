// CefRenderProcessHandler: the application's handler in a page's web process.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefFrame.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefV8Context.h"

class CefRenderProcessHandler : public virtual CefBase {
public:
    // A frame's window object was made afresh, before any of the page's scripts ran in it; the
    // context is entered for the call. frame is null: frames load only from the browser process.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context)
    {
    }
};
