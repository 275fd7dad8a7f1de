#include "platform/cef/CefBrowserHost.h"

#include <webkit2/webkit2.h>

#include "platform/cef/CefEngine.h"
#include "platform/cef/CefPageTrust.h"
#include "platform/cef/CefViewBrowser.h"
#include "platform/win/WindowHandles.h"
#include "platform/win/WindowStyles.h"

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                   const CefBrowserSettings&, CefRequestContext*)
{
    CefEngine* engine = CefEngine::Get();
    GtkWidget* parent = GetWindowWidget(windowInfo.parent_window);
    if (!engine || !parent || !GTK_IS_FIXED(parent))
        return false;

    GtkWidget* view = webkit_web_view_new_with_context(engine->GetWebContext());
    // The framework has no popup blocker: a script's window.open reaches OnBeforePopup.
    webkit_settings_set_javascript_can_open_windows_automatically(webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
                                                                  TRUE);
    if (double scale = engine->GetDeviceScaleFactor(); scale > 0)
        webkit_web_view_set_zoom_level(WEBKIT_WEB_VIEW(view), scale / gtk_widget_get_scale_factor(parent));
    gtk_widget_set_size_request(view, windowInfo.width, windowInfo.height);
    gtk_fixed_put(GTK_FIXED(parent), view, windowInfo.x, windowInfo.y);  // the container owns the view

    CefPageTrust::Watch(WEBKIT_WEB_VIEW(view));
    CefRefPtr<CefViewBrowser> browser = CefViewBrowser::Attach(WEBKIT_WEB_VIEW(view), windowInfo.parent_window, client);
    if (CefRefPtr<CefLifeSpanHandler> lifeSpan = client ? client->GetLifeSpanHandler() : nullptr)
        lifeSpan->OnAfterCreated(browser);
    if (!browser->GetWebView())
        return true;  // closed by the client already
    if (windowInfo.style & WS_VISIBLE)
        gtk_widget_show(view);
    browser->LoadAddress(url.empty() ? "about:blank" : url.ToString());
    return true;
}
