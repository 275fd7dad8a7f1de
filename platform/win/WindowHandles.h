// Window handles: the registry of the windows and their message delivery on the GTK main loop.
//
// Every window lives on the main thread (the thread that ran static initialisation and runs
// the GLib default main context). A window object implements WindowProcedure and registers
// itself to get a handle; messages to it are delivered only while it accepts delivery.
#pragma once

#include "platform/win/WinTypes.h"

typedef struct _GtkWidget GtkWidget;

class WindowProcedure {
public:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~WindowProcedure() = default;
};

// Main thread only. The widget is the window's container (a GtkFixed for a dialog); may be
// null for a window without one. A new handle holds back its messages until delivery is on.
HWND RegisterWindowHandle(WindowProcedure* procedure, GtkWidget* widget = nullptr);
// Main thread only. Messages still queued for the window are dropped (their records freed);
// senders waiting on it get 0.
void UnregisterWindowHandle(HWND hWnd);
// Main thread only. Turns delivery on (queued messages then follow in order) or off.
void SetWindowDelivery(HWND hWnd, bool deliver);
GtkWidget* GetWindowWidget(HWND hWnd);
// The procedure registered for the handle; null for a gone window.
WindowProcedure* GetWindowProcedure(HWND hWnd);
BOOL IsWindow(HWND hWnd);
