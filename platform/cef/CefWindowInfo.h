// CefWindowInfo: where CefBrowserHost::CreateBrowser puts the browser's web view.
#pragma once

#include "platform/win/WinTypes.h"

struct CefWindowInfo {
    // Window style bits; WS_VISIBLE shows the view at once.
    DWORD style = 0;
    // In the parent window's client coordinates, in pixels.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // A window registered with a container widget (GetWindowWidget), a GtkFixed.
    HWND parent_window = nullptr;
};
