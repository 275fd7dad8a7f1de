#include "platform/cef/extension/CefRedirectGuard.h"

#include <webkit2/webkit-web-extension.h>

namespace {

// Returning TRUE cancels the request.
gboolean OnSendRequest(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse* redirectedResponse, gpointer)
{
    if (!redirectedResponse)
        return FALSE;
    const char* scheme = g_uri_peek_scheme(webkit_uri_request_get_uri(request));
    bool web = scheme && (g_str_equal(scheme, "http") || g_str_equal(scheme, "https"));
    return !web;
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer)
{
    g_signal_connect(page, "send-request", G_CALLBACK(OnSendRequest), nullptr);
}

}  // namespace

void CefRedirectGuard::Watch(WebKitWebExtension* extension)
{
    g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
