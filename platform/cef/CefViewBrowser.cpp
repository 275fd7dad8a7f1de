#include "platform/cef/CefViewBrowser.h"

#include <webkit2/webkit2.h>

#include <string_view>

#include "platform/cef/CefErrorCode.h"
#include "platform/cef/CefMessageProtocol.h"
#include "platform/cef/CefMessageQueue.h"
#include "platform/cef/CefNewWindowDisposition.h"
#include "platform/cef/CefPageTrust.h"
#include "platform/cef/CefViewFrame.h"
#include "platform/win/GObjectPtr.h"
#include "platform/win/MessageSend.h"

// The view's signal handlers; the browser is their user data.
struct CefViewSignals {
    static gboolean OnUserMessage(WebKitWebView*, WebKitUserMessage* message, gpointer browser)
    {
        return static_cast<CefViewBrowser*>(browser)->ReceiveMessage(webkit_user_message_get_name(message),
                                                                     webkit_user_message_get_parameters(message));
    }

    // A link or form with a target: WebKit asks first, and an ignored request creates nothing.
    // Any other navigation (a link, a script, a form, a redirect, a dropped file) goes to a local
    // page only when the launcher itself loads that page.
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer browser)
    {
        if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
            return FALSE;
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
            const char* url = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
            if (static_cast<CefViewBrowser*>(browser)->MayNavigateTo(url))
                return FALSE;
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        webkit_policy_decision_ignore(decision);
        static_cast<CefViewBrowser*>(browser)->RequestNewWindow(action);
        return TRUE;
    }

    // window.open: WebKit asks straight for the new view; none is given.
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer browser)
    {
        static_cast<CefViewBrowser*>(browser)->RequestNewWindow(action);
        return nullptr;
    }

    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer browser)
    {
        if (event == WEBKIT_LOAD_COMMITTED)
            static_cast<CefViewBrowser*>(browser)->JudgeCommittedPage();
    }

    static void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer browser)
    {
        static_cast<CefViewBrowser*>(browser)->RecoverFromTermination(reason);
    }

    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failedUrl, GError* error, gpointer browser)
    {
        return static_cast<CefViewBrowser*>(browser)->ReportLoadFailure(failedUrl, error);
    }

    // Reached only by a key the page did not consume (WebKit hands it to the view again, and the
    // view's own handler lets it through): the page's keys go no further than the view.
    static gboolean OnKeyNotConsumed(GtkWidget*, GdkEventKey*, gpointer)
    {
        return TRUE;
    }

    static void OnClose(WebKitWebView*, gpointer browser)
    {
        static_cast<CefViewBrowser*>(browser)->RequestClose();
    }

    static void OnDestroy(GtkWidget*, gpointer browser)
    {
        static_cast<CefViewBrowser*>(browser)->Detach();
    }
};

CefRefPtr<CefViewBrowser> CefViewBrowser::Attach(WebKitWebView* view, HWND parent, CefRefPtr<CefClient> client)
{
    CefRefPtr<CefViewBrowser> browser = new CefViewBrowser(view, parent, std::move(client));
    browser->AddRef();  // the view's reference, dropped in Detach
    g_signal_connect(view, "user-message-received", G_CALLBACK(CefViewSignals::OnUserMessage), browser.get());
    g_signal_connect(view, "decide-policy", G_CALLBACK(CefViewSignals::OnDecidePolicy), browser.get());
    g_signal_connect(view, "create", G_CALLBACK(CefViewSignals::OnCreate), browser.get());
    g_signal_connect(view, "load-failed", G_CALLBACK(CefViewSignals::OnLoadFailed), browser.get());
    g_signal_connect(view, "load-changed", G_CALLBACK(CefViewSignals::OnLoadChanged), browser.get());
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(CefViewSignals::OnWebProcessTerminated),
                     browser.get());
    g_signal_connect_after(view, "key-press-event", G_CALLBACK(CefViewSignals::OnKeyNotConsumed), browser.get());
    g_signal_connect(view, "close", G_CALLBACK(CefViewSignals::OnClose), browser.get());
    g_signal_connect(view, "destroy", G_CALLBACK(CefViewSignals::OnDestroy), browser.get());
    return browser;
}

CefViewBrowser::CefViewBrowser(WebKitWebView* view, HWND parent, CefRefPtr<CefClient> client)
    : m_view(view), m_parent(parent), m_client(std::move(client))
{
}

CefRefPtr<CefFrame> CefViewBrowser::GetMainFrame()
{
    if (!m_view)
        return nullptr;
    return new CefViewFrame(this);
}

void CefViewBrowser::LoadAddress(const std::string& url)
{
    if (!m_view)
        return;
    GObjectPtr<WebKitURIRequest> request(webkit_uri_request_new(url.c_str()));
    m_ownUrl = url;
    m_ownAddress = WithoutFragment(webkit_uri_request_get_uri(request.get()));
    webkit_web_view_load_uri(m_view, url.c_str());
}

bool CefViewBrowser::MayNavigateTo(const char* url) const
{
    const char* scheme = url ? g_uri_peek_scheme(url) : nullptr;
    return !scheme || std::string_view(scheme) != "file" || WithoutFragment(url) == m_ownAddress;
}

std::string CefViewBrowser::WithoutFragment(const char* url)
{
    std::string_view text = url ? url : "";
    return std::string(text.substr(0, text.find('#')));
}

bool CefViewBrowser::IsSame(CefRefPtr<CefBrowser> that)
{
    return that.get() == static_cast<CefBrowser*>(this);
}

bool CefViewBrowser::SendProcessMessage(CefProcessId, CefRefPtr<CefProcessMessage>)
{
    return false;
}

bool CefViewBrowser::ReceiveMessage(const char* name, GVariant* parameters)
{
    CefRefPtr<CefProcessMessage> message = CefMessageProtocol::Decode(name ? name : "", parameters);
    if (!message || !m_client || m_pageRefused)
        return false;
    std::size_t bytes = message->GetName().ToWString().size() * sizeof(wchar_t) +
                        message->GetArgumentList()->GetString(0).ToWString().size() * sizeof(wchar_t);
    CefRefPtr<CefViewBrowser> self = this;
    return CefMessageQueue::Deliver(bytes, [self, message] {
        // A browser whose view has gone meanwhile has no client any more.
        if (self->m_client)
            self->m_client->OnProcessMessageReceived(self, PID_RENDERER, message);
    });
}

void CefViewBrowser::RequestNewWindow(WebKitNavigationAction* action)
{
    CefRefPtr<CefLifeSpanHandler> lifeSpan = m_client ? m_client->GetLifeSpanHandler() : nullptr;
    if (!lifeSpan)
        return;
    const char* url = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    const char* frameName = webkit_navigation_action_get_frame_name(action);
    cef_window_open_disposition_t disposition = CefNewWindowDisposition(
        webkit_navigation_action_get_navigation_type(action), webkit_navigation_action_get_mouse_button(action),
        webkit_navigation_action_get_modifiers(action));
    CefWindowInfo windowInfo;
    CefRefPtr<CefClient> client = m_client;
    CefBrowserSettings settings;
    bool noJavascriptAccess = false;
    lifeSpan->OnBeforePopup(this, GetMainFrame(), url, frameName, disposition,
                            webkit_navigation_action_is_user_gesture(action), CefPopupFeatures{}, windowInfo, client,
                            settings, &noJavascriptAccess);
}

bool CefViewBrowser::ReportLoadFailure(const char* failedUrl, const GError* error)
{
    CefRefPtr<CefLoadHandler> load = m_client ? m_client->GetLoadHandler() : nullptr;
    if (!load)
        return false;
    load->OnLoadError(this, GetMainFrame(), CefErrorCodeOfLoadFailure(error), error ? error->message : "",
                      failedUrl);
    return true;
}

void CefViewBrowser::JudgeCommittedPage()
{
    // Until the next page commits, nothing of a refused one reaches the client.
    m_pageRefused = !CefPageTrust::TrustsCommittedPage(m_view);
    if (!m_pageRefused)
        return;
    // Failed as WebKit fails a certificate it refuses itself.
    const char* uri = webkit_web_view_get_uri(m_view);
    const std::string url = uri ? uri : "";
    GError* error = g_error_new_literal(G_TLS_ERROR, G_TLS_ERROR_BAD_CERTIFICATE, "Unacceptable TLS certificate");
    if (!ReportLoadFailure(url.c_str(), error))
        webkit_web_view_stop_loading(m_view);
    g_error_free(error);
}

void CefViewBrowser::RecoverFromTermination(int reason)
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastTermination > kTerminationWindow)
        m_terminations = 0;
    m_lastTermination = now;
    ++m_terminations;
    if (m_terminations <= kMaxReloadsAfterTermination) {
        LoadAddress(m_ownUrl);
        return;
    }
    if (m_terminations > kMaxReloadsAfterTermination + 1)
        return;  // even the error page's process ended: the view stays as WebKit leaves it
    const char* text = reason == WEBKIT_WEB_PROCESS_CRASHED                   ? "The web process crashed"
                       : reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "The web process exceeded its memory limit"
                                                                              : "The web process was terminated";
    GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_FAILED, text);
    ReportLoadFailure(m_ownUrl.c_str(), error);
    g_error_free(error);
}

void CefViewBrowser::RequestClose()
{
    CefRefPtr<CefLifeSpanHandler> lifeSpan = m_client ? m_client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan && lifeSpan->DoClose(this))
        return;
    // As the framework does, the close request goes on to the window that holds the browser.
    PostMessageW(m_parent, WM_CLOSE, 0, 0);
}

void CefViewBrowser::Detach()
{
    CefRefPtr<CefViewBrowser> self = this;
    Release();  // the view's reference
    g_signal_handlers_disconnect_by_data(m_view, this);
    CefRefPtr<CefLifeSpanHandler> lifeSpan = m_client ? m_client->GetLifeSpanHandler() : nullptr;
    if (lifeSpan)
        lifeSpan->OnBeforeClose(this);
    m_view = nullptr;
    m_client = nullptr;
}
