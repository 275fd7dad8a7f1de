#include "platform/cef/CefPageTrust.h"

#include <webkit2/webkit2.h>

#include <memory>

#include "platform/inet/ServerTrust.h"

namespace {

constexpr const char* kContextKey = "zorv-page-trust";

std::string HostOf(const char* url)
{
    GUri* uri = url ? g_uri_parse(url, G_URI_FLAGS_NONE, nullptr) : nullptr;
    if (!uri)
        return {};
    const char* host = g_uri_get_host(uri);
    std::string result = host ? host : "";
    g_uri_unref(uri);
    return result;
}

std::string PemOf(GTlsCertificate* certificate)
{
    gchar* pem = nullptr;
    g_object_get(certificate, "certificate-pem", &pem, nullptr);
    std::string result = pem ? pem : "";
    g_free(pem);
    return result;
}

// The certificate and the issuers WebKit received with it, in PEM.
std::string ChainPemOf(GTlsCertificate* certificate)
{
    std::string chain;
    for (GTlsCertificate* link = certificate; link; link = g_tls_certificate_get_issuer(link))
        chain += PemOf(link);
    return chain;
}

bool Trusted(const char* url, GTlsCertificate* certificate)
{
    std::string host = HostOf(url);
    return !host.empty() && ServerTrust::VerifyPem(ChainPemOf(certificate), host) == X509_V_OK;
}

}  // namespace

void CefPageTrust::Watch(WebKitWebView* view)
{
    g_signal_connect(view, "load-failed-with-tls-errors", G_CALLBACK(OnTlsFailure), nullptr);
}

bool CefPageTrust::TrustsCommittedPage(WebKitWebView* view)
{
    GTlsCertificate* certificate = nullptr;
    if (!webkit_web_view_get_tls_info(view, &certificate, nullptr) || !certificate)
        return true;  // not over TLS: nothing to judge
    return Trusted(webkit_web_view_get_uri(view), certificate);
}

int CefPageTrust::OnTlsFailure(WebKitWebView* view, char* failedUrl, GTlsCertificate* certificate, unsigned, void*)
{
    WebKitWebContext* context = webkit_web_view_get_context(view);
    auto* trust = static_cast<CefPageTrust*>(g_object_get_data(G_OBJECT(context), kContextKey));
    if (!trust) {
        trust = new CefPageTrust;
        g_object_set_data_full(G_OBJECT(context), kContextKey, trust,
                               [](gpointer trust) { delete static_cast<CefPageTrust*>(trust); });
    }
    // Unhandled, the failure goes on to "load-failed" and its error page.
    return trust->Retry(view, failedUrl, certificate);
}

bool CefPageTrust::Retry(WebKitWebView* view, const char* failedUrl, GTlsCertificate* certificate)
{
    if (!Trusted(failedUrl, certificate))
        return false;
    std::string host = HostOf(failedUrl);
    if (++m_reloads[{host, PemOf(certificate)}] > kMaxReloads)
        return false;
    WebKitWebContext* context = webkit_web_view_get_context(view);
    webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
    // The allowance travels to the network process on its own; a load sent at once may overtake
    // it there. A fetch of the website data goes the allowance's way and is answered after it.
    auto* reload = new PendingReload{GObjectPtr<WebKitWebView>(WEBKIT_WEB_VIEW(g_object_ref(view))), failedUrl,
                                     GObjectPtr<GCancellable>(g_cancellable_new()), 0};
    reload->destroyHandler = g_signal_connect_swapped(view, "destroy", G_CALLBACK(g_cancellable_cancel),
                                                      reload->cancellable.get());
    webkit_website_data_manager_fetch(webkit_web_context_get_website_data_manager(context),
                                      WEBKIT_WEBSITE_DATA_COOKIES, reload->cancellable.get(), OnAllowanceArrived,
                                      reload);
    return true;
}

void CefPageTrust::OnAllowanceArrived(GObject* manager, GAsyncResult* result, void* data)
{
    std::unique_ptr<PendingReload> reload(static_cast<PendingReload*>(data));
    GList* records = webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result, nullptr);
    g_list_free_full(records, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
    if (!g_cancellable_is_cancelled(reload->cancellable.get())) {
        g_signal_handler_disconnect(reload->view.get(), reload->destroyHandler);
        webkit_web_view_load_uri(reload->view.get(), reload->url.c_str());
    }
}
