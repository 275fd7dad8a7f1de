#include "platform/afx/ButtonWindow.h"

#include <gtk/gtk.h>

#include "platform/afx/CDC.h"
#include "platform/afx/DialogWindow.h"
#include "platform/win/MessageSend.h"
#include "platform/win/WindowMessages.h"

ButtonWindow::ButtonWindow(DialogWindow& dialog, GtkFixed* container, const DialogItemTemplate& item, CFont* font)
    : ControlWindow(dialog, container, item, font)
{
    g_signal_connect(m_pWidget, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(m_pWidget, "key-release-event", G_CALLBACK(OnKey), this);
    g_signal_connect(m_pWidget, "focus-out-event", G_CALLBACK(OnFocusOut), this);
}

LRESULT ButtonWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        // Focusable from its first press on: the focus that its window hands out when shown goes past it.
        gtk_widget_set_can_focus(m_pWidget, TRUE);
        gtk_widget_grab_focus(m_pWidget);
        m_bCaptured = true;
        SetPushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (m_bCaptured)
            SetPushed(Contains(lParam));
        return 0;
    case WM_LBUTTONUP:
        EndPress(Contains(lParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            m_bCaptured = true;
            SetPushed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            EndPress(true);
        return 0;
    case WM_KILLFOCUS:
        EndPress(false);
        return 0;
    case WM_PAINT: {
        if ((Style() & BS_TYPEMASK) != BS_OWNERDRAW)
            return 0;
        CDC dc(PaintContext());
        DRAWITEMSTRUCT item;
        item.CtlID = static_cast<UINT>(Id());
        item.itemState = m_bPushed ? ODS_SELECTED : 0;
        item.hwndItem = Handle();
        item.hDC = dc.GetSafeHdc();
        item.rcItem = ClientRect();
        SendMessageW(Dialog().Handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return 0;
    }
    default:
        return ControlWindow::DefaultProc(message, wParam, lParam);
    }
}

void ButtonWindow::EndPress(bool click)
{
    if (!m_bCaptured)
        return;
    m_bCaptured = false;
    const bool clicked = click && m_bPushed;
    SetPushed(false);
    if (clicked)
        SendMessageW(Dialog().Handle(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Handle()));
}

gboolean ButtonWindow::OnKey(GtkWidget*, GdkEventKey* event, gpointer data)
{
    if (event->keyval != GDK_KEY_space)
        return FALSE;
    auto* button = static_cast<ButtonWindow*>(data);
    if (!(button->Style() & WS_DISABLED))
        button->WindowProc(event->type == GDK_KEY_PRESS ? WM_KEYDOWN : WM_KEYUP, VK_SPACE, 0);
    return TRUE;
}

gboolean ButtonWindow::OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer data)
{
    static_cast<ButtonWindow*>(data)->WindowProc(WM_KILLFOCUS, 0, 0);
    return FALSE;
}

void ButtonWindow::SetPushed(bool pushed)
{
    if (m_bPushed == pushed)
        return;
    m_bPushed = pushed;
    Invalidate(nullptr);
}

bool ButtonWindow::Contains(LPARAM point) const
{
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight;
}
