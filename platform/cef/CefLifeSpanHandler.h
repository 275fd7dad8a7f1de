// CefLifeSpanHandler: a browser's creation, new-window requests and close.
#pragma once

#include "platform/cef/CefBase.h"
#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefBrowserSettings.h"
#include "platform/cef/CefFrame.h"
#include "platform/cef/CefPopupFeatures.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/cef/CefString.h"
#include "platform/cef/CefWindowInfo.h"
#include "platform/cef/CefWindowOpenDisposition.h"

class CefClient;

class CefLifeSpanHandler : public virtual CefBase {
public:
    // The page asked for a new browser (a link with a target, window.open). frame is the main
    // frame. The layer never creates a second browser, whatever the answer; window information,
    // client, settings and no-script-access are not read back.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& targetUrl,
                               const CefString& targetFrameName, cef_window_open_disposition_t targetDisposition,
                               bool userGesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                               CefRefPtr<CefClient>& client, CefBrowserSettings& settings, bool* noJavascriptAccess)
    {
        return false;
    }
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}
    // The page asked to close its browser (window.close). False lets the close go ahead: the
    // web view is destroyed and OnBeforeClose follows.
    virtual bool DoClose(CefRefPtr<CefBrowser> browser) { return false; }
    // The browser's web view is going away, with its parent window or on a close.
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};
