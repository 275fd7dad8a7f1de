#include "platform/afx/NativeWindow.h"

#include <gtk/gtk.h>

#include "platform/afx/CDC.h"
#include "platform/afx/CWnd.h"
#include "platform/win/MouseTracking.h"
#include "platform/win/WindowMessages.h"

NativeWindow::NativeWindow(GtkWidget* widget, int id, DWORD style, CFont* font)
    : m_pWidget(widget), m_nId(id), m_dwStyle(style), m_pFont(font)
{
    m_hWnd = RegisterWindowHandle(this, widget);
    g_signal_connect(widget, "draw", G_CALLBACK(OnDraw), this);
}

NativeWindow::~NativeWindow()
{
    Release();
}

void NativeWindow::Release()
{
    if (!m_hWnd)
        return;
    g_signal_handlers_disconnect_by_data(m_pWidget, this);
    Attach(nullptr);
    TakeMouseLeaveRequest(m_hWnd);
    UnregisterWindowHandle(m_hWnd);
    m_hWnd = nullptr;
}

NativeWindow* NativeWindow::FromHandle(HWND hWnd)
{
    return dynamic_cast<NativeWindow*>(GetWindowProcedure(hWnd));
}

void NativeWindow::Attach(CWnd* window)
{
    if (m_pAttached && m_pAttached != window)
        m_pAttached->m_hWnd = nullptr;
    m_pAttached = window;
}

LRESULT NativeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_pAttached ? m_pAttached->WindowProc(message, wParam, lParam) : DefaultProc(message, wParam, lParam);
}

LRESULT NativeWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_pFont);
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST: {
        const POINT origin = ClientOrigin();
        const int x = GET_X_LPARAM(lParam) - origin.x;
        const int y = GET_Y_LPARAM(lParam) - origin.y;
        return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight ? HTCLIENT : HTNOWHERE;
    }
    default:
        return 0;
    }
}

void NativeWindow::Invalidate(LPCRECT rect)
{
    if (rect)
        gtk_widget_queue_draw_area(m_pWidget, rect->left, rect->top, rect->right - rect->left,
                                   rect->bottom - rect->top);
    else
        gtk_widget_queue_draw(m_pWidget);
}

gboolean NativeWindow::OnDraw(GtkWidget*, cairo_t* context, gpointer data)
{
    auto* window = static_cast<NativeWindow*>(data);
    window->m_pPaintContext = context;
    cairo_save(context);
    {
        CDC dc(context);
        window->WindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    }
    cairo_restore(context);
    cairo_save(context);
    window->WindowProc(WM_PAINT, 0, 0);
    cairo_restore(context);
    window->m_pPaintContext = nullptr;
    return FALSE;
}
