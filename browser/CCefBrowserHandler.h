// CCefBrowserHandler: the client of the main window's browser, in the browser process. It acts
// on the page's "StartGame" and "OpenWeb" (a few browser starts a second at most), keeps the list
// of live browsers, loads a web address meant for a new tab, popup or window into the main frame,
// and shows an error page for a failed load.
// The engine calls it on the GTK main thread.
#pragma once

#include <list>

#include "browser/COpenWebLimit.h"
#include "platform/cef/CefClient.h"
#include "platform/cef/CefRefCounted.h"

class CCefBrowserHandler
    : public CefRefCounted<CefClient, CefDisplayHandler, CefLifeSpanHandler, CefLoadHandler> {
public:
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override;
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override;
    CefRefPtr<CefLoadHandler> GetLoadHandler() override;
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                  CefRefPtr<CefProcessMessage> message) override;

    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& targetUrl,
                       const CefString& targetFrameName, cef_window_open_disposition_t targetDisposition,
                       bool userGesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                       CefRefPtr<CefClient>& client, CefBrowserSettings& settings, bool* noJavascriptAccess) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    bool DoClose(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;


private:
    void StartGame(const CefString& parameter);
    void OpenWeb(const CefString& address);

    std::list<CefRefPtr<CefBrowser>> m_browserList;
    COpenWebLimit m_openWebLimit;
};
