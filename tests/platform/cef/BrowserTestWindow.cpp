#include "platform/win/GObjectPtr.h"
#include "tests/platform/cef/BrowserTestWindow.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <memory>

BrowserTestWindow::BrowserTestWindow(int width, int height)
{
    m_window.reset(GTK_WIDGET(g_object_ref_sink(gtk_window_new(GTK_WINDOW_TOPLEVEL))));
    gtk_window_set_default_size(GTK_WINDOW(m_window.get()), width, height);
    gtk_window_move(GTK_WINDOW(m_window.get()), 0, 0);
    m_fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(m_window.get()), m_fixed);
    gtk_widget_show_all(m_window.get());
    m_handle = RegisterWindowHandle(this, m_fixed);
    SetWindowDelivery(m_handle, true);
}

BrowserTestWindow::~BrowserTestWindow()
{
    Destroy();
}

void BrowserTestWindow::Destroy()
{
    if (m_handle) {
        UnregisterWindowHandle(m_handle);
        m_handle = nullptr;
        m_fixed = nullptr;
        gtk_widget_destroy(m_window.get());
    }
}

LRESULT BrowserTestWindow::WindowProc(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        ++m_closeRequests;
    return 0;
}

std::vector<WebKitWebView*> BrowserTestWindow::WebViews() const
{
    std::vector<WebKitWebView*> views;
    if (!m_fixed)
        return views;
    GList* children = gtk_container_get_children(GTK_CONTAINER(m_fixed));
    for (GList* child = children; child; child = child->next) {
        if (WEBKIT_IS_WEB_VIEW(child->data))
            views.push_back(WEBKIT_WEB_VIEW(child->data));
    }
    g_list_free(children);
    return views;
}

WebKitWebView* BrowserTestWindow::WebView() const
{
    std::vector<WebKitWebView*> views = WebViews();
    return views.empty() ? nullptr : views.front();
}

std::string EvaluateScript(WebKitWebView* view, const std::string& script)
{
    struct Outcome {
        bool done = false;
        std::string text;
    };
    // Shared with the callback, which may come after a timed-out wait.
    auto outcome = std::make_shared<Outcome>();
    webkit_web_view_evaluate_javascript(
        view, script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::shared_ptr<Outcome>> outcome(static_cast<std::shared_ptr<Outcome>*>(data));
            GError* error = nullptr;
            GObjectPtr<JSCValue> value(
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error));
            if (value) {
                char* text = jsc_value_to_string(value.get());
                (*outcome)->text = text ? text : "";
                g_free(text);
            } else {
                (*outcome)->text = std::string("exception: ") + (error ? error->message : "");
                g_clear_error(&error);
            }
            (*outcome)->done = true;
        },
        new std::shared_ptr<Outcome>(outcome));
    if (!RunLoopUntil([&] { return outcome->done; }))
        return "timed out";
    return outcome->text;
}

bool WaitForLoad(WebKitWebView* view, const std::string& prefix)
{
    return RunLoopUntil([&] {
        const char* uri = webkit_web_view_get_uri(view);
        return !webkit_web_view_is_loading(view) && uri && std::string(uri).starts_with(prefix);
    });
}
