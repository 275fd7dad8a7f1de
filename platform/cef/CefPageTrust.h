// CefPageTrust: holds the page to the trust decision of the downloads (ServerTrust). WebKit
// checks a page's certificate by rules of its own against the system's store only; when that
// fails, ServerTrust judges the certificate for the page's host, and one that passes is allowed
// for that host in the web context and the page loaded again once the allowance is in place.
// Each host and certificate is reloaded at most twice, so a load that keeps failing shows the
// error page. A page WebKit accepted on its own is judged again when it commits. Main thread only.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/win/GObjectPtr.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GTlsCertificate GTlsCertificate;
typedef struct _GCancellable GCancellable;
typedef struct _GAsyncResult GAsyncResult;

class CefPageTrust {
public:
    // Watches the view's certificate failures; what is allowed is kept with its web context.
    static void Watch(WebKitWebView* view);
    // Whether ServerTrust accepts the certificate of the view's committed page; true for a page
    // that did not come over TLS.
    static bool TrustsCommittedPage(WebKitWebView* view);

    CefPageTrust() = default;
    CefPageTrust(const CefPageTrust&) = delete;
    CefPageTrust& operator=(const CefPageTrust&) = delete;

private:
    static int OnTlsFailure(WebKitWebView* view, char* failedUrl, GTlsCertificate* certificate, unsigned errors,
                            void* unused);

    // A reload waiting for its allowance to reach the network process; cancelled when the view
    // goes.
    struct PendingReload {
        GObjectPtr<WebKitWebView> view;
        std::string url;
        GObjectPtr<GCancellable> cancellable;
        unsigned long destroyHandler;
    };

    // True when the page is to be loaded again.
    bool Retry(WebKitWebView* view, const char* failedUrl, GTlsCertificate* certificate);
    static void OnAllowanceArrived(GObject* manager, GAsyncResult* result, void* reload);

    // A second reload covers a load already under way when the allowance arrived.
    static constexpr int kMaxReloads = 2;
    // The reloads so far of each host and certificate (PEM).
    std::map<std::pair<std::string, std::string>, int> m_reloads;
};
