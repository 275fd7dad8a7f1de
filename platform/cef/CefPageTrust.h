// CefPageTrust: gives a page the trust the downloads have. WebKit checks a page's certificate
// against the system's store only; when that fails, the certificate is checked against the
// launcher's trust bundle (TrustBundle.h) for the page's host, and a certificate that passes is
// allowed for that host in the web context and the page loaded again. Each host and certificate
// is allowed once, so a load that fails again shows the error page. Main thread only.
#pragma once

#include <set>
#include <string>
#include <utility>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GTlsCertificate GTlsCertificate;

class CefPageTrust {
public:
    // Watches the view's certificate failures; what is allowed is kept with its web context.
    static void Watch(WebKitWebView* view);

    CefPageTrust() = default;
    CefPageTrust(const CefPageTrust&) = delete;
    CefPageTrust& operator=(const CefPageTrust&) = delete;

private:
    static int OnTlsFailure(WebKitWebView* view, char* failedUrl, GTlsCertificate* certificate, unsigned errors,
                            void* unused);

    // True when the page is loaded again.
    bool Retry(WebKitWebView* view, const char* failedUrl, GTlsCertificate* certificate);

    // Host and certificate (PEM) pairs already allowed.
    std::set<std::pair<std::string, std::string>> m_allowed;
};
