#include "platform/afx/ButtonWindow.h"

#include <gtk/gtk.h>

#include "platform/afx/CDC.h"
#include "platform/afx/DialogWindow.h"
#include "platform/win/MessageSend.h"
#include "platform/win/WindowMessages.h"

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
    case WM_LBUTTONUP: {
        if (!m_bCaptured)
            return 0;
        m_bCaptured = false;
        const bool clicked = m_bPushed && Contains(lParam);
        SetPushed(false);
        if (clicked)
            SendMessageW(Dialog().Handle(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), BN_CLICKED),
                         reinterpret_cast<LPARAM>(Handle()));
        return 0;
    }
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
