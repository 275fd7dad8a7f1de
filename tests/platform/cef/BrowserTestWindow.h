// A real GTK top-level window with a GtkFixed registered as a window handle, to host browsers
// under test; and the main loop and script helpers the browser tests share.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/GObjectPtr.h"
#include "platform/win/WindowHandles.h"
#include "tests/support/MainLoop.h"

typedef struct _WebKitWebView WebKitWebView;

class BrowserTestWindow : public WindowProcedure {
public:
    BrowserTestWindow(int width = 1200, int height = 700);
    BrowserTestWindow(const BrowserTestWindow&) = delete;
    BrowserTestWindow& operator=(const BrowserTestWindow&) = delete;
    ~BrowserTestWindow();

    HWND Handle() const { return m_handle; }
    GtkWidget* Window() const { return m_window.get(); }
    // The web views in the container (none once the window is destroyed).
    std::vector<WebKitWebView*> WebViews() const;
    // The first web view, or null.
    WebKitWebView* WebView() const;

    // Destroys the window with everything in it, as a dialog's end does.
    void Destroy();
    // The WM_CLOSE messages the window got; it does nothing else with them.
    int CloseRequests() const { return m_closeRequests; }

    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override;

private:
    GObjectPtr<GtkWidget> m_window;  // a reference of its own: the object outlives Destroy()
    GtkWidget* m_fixed = nullptr;
    HWND m_handle = nullptr;
    int m_closeRequests = 0;
};

// Runs script in the main frame of view and gives its value as text ("undefined", "function",
// ...), or "exception: " followed by the message when it throws.
std::string EvaluateScript(WebKitWebView* view, const std::string& script);
// Runs the main loop until the view has finished loading a page whose address starts with prefix.
bool WaitForLoad(WebKitWebView* view, const std::string& prefix);
