// CefViewBrowser: a browser in the browser process, over one WebKit web view. It turns the
// view's signals into the client's callbacks on the GTK main thread: page messages (the
// browser process's one dispatcher of them, one after another through CefMessageQueue),
// new-window requests, main-frame load failures, close requests and the view's end. Keys typed
// into the page stay with the page. No navigation of the page reaches a local (file:) page but
// the one the launcher itself loads last. A page whose certificate CefPageTrust refuses when it
// commits fails as a bad certificate, and its messages are dropped. When the web process ends,
// the launcher's own page is loaded again, up to kMaxReloadsAfterTermination times within
// kTerminationWindow; the next end fails the page (ERR_FAILED).
#pragma once

#include <chrono>
#include <string>

#include "platform/cef/CefBrowser.h"
#include "platform/cef/CefClient.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefRefPtr.h"
#include "platform/win/WinTypes.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _GVariant GVariant;
typedef struct _GError GError;

class CefViewBrowser : public CefRefCounted<CefBrowser> {
public:
    // Connects to the view's signals. The view holds a reference to the browser, and the
    // browser one to the client, until the view is destroyed. A close request of the page that
    // the client does not take becomes WM_CLOSE, posted to parent.
    static CefRefPtr<CefViewBrowser> Attach(WebKitWebView* view, HWND parent, CefRefPtr<CefClient> client);

    CefViewBrowser(const CefViewBrowser&) = delete;
    CefViewBrowser& operator=(const CefViewBrowser&) = delete;

    CefRefPtr<CefFrame> GetMainFrame() override;
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override;

    // Loads url into the view, as the launcher's own load: a file: address loaded here may be
    // navigated to, until the launcher loads another address. Nothing once the view has gone.
    void LoadAddress(const std::string& url);

    // Null once the view has been destroyed.
    WebKitWebView* GetWebView() const { return m_view; }

    static constexpr int kMaxReloadsAfterTermination = 3;
    static constexpr std::chrono::seconds kTerminationWindow{60};

private:
    friend struct CefViewSignals;

    CefViewBrowser(WebKitWebView* view, HWND parent, CefRefPtr<CefClient> client);

    bool ReceiveMessage(const char* name, GVariant* parameters);
    void RequestNewWindow(WebKitNavigationAction* action);
    bool ReportLoadFailure(const char* failedUrl, const GError* error);
    void JudgeCommittedPage();
    void RecoverFromTermination(int reason);
    void RequestClose();
    void Detach();
    // False for a file: address other than the one the launcher loaded last.
    bool MayNavigateTo(const char* url) const;
    static std::string WithoutFragment(const char* url);

    WebKitWebView* m_view;
    HWND m_parent;
    CefRefPtr<CefClient> m_client;
    std::string m_ownUrl;      // the launcher's last own load, as given
    std::string m_ownAddress;  // the same as WebKit writes it, without fragment
    bool m_pageRefused = false;
    int m_terminations = 0;  // within kTerminationWindow of each other
    std::chrono::steady_clock::time_point m_lastTermination;
};
