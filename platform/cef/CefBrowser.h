// CefBrowser: one browser (a web view and its page). The browser process has the web view; a
// page's web process has the page. Each side answers what it can reach.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefFrame.h"
#include "platform/cef/CefProcessMessage.h"
#include "platform/cef/CefRefPtr.h"

class CefBrowser : public virtual CefBase {
public:
    // Browser process: the main frame; null once the browser has closed. Web process: null,
    // since only the browser process loads into frames.
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    // Web process: sends a declared message to PID_BROWSER; false for an undeclared or
    // malformed message or another target. Browser process: false, pages take no messages.
    virtual bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) = 0;
};
