#include "app/controls/CImageButton.h"

#include "platform/win/MouseTracking.h"

BEGIN_MESSAGE_MAP(CImageButton, CBitmapButton)
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

void CImageButton::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW, 0);
    CBitmapButton::PreSubclassWindow();
}

void CImageButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CBitmap* image = &m_bitmap;
    if (!IsWindowEnabled())
        image = &m_bitmapDisabled;
    else if ((lpDrawItemStruct->itemState & ODS_SELECTED) && m_bitmapSel.GetSafeHandle())
        image = &m_bitmapSel;
    else if (m_bHover && m_bitmapFocus.GetSafeHandle())
        image = &m_bitmapFocus;

    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    CDC memDC;
    memDC.CreateCompatibleDC(dc);
    if (!image->GetSafeHandle()) {
        memDC.DeleteDC();
        return;
    }
    CBitmap* previous = memDC.SelectObject(image);
    const RECT& item = lpDrawItemStruct->rcItem;
    dc->BitBlt(item.left, item.top, item.right - item.left, item.bottom - item.top, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(previous);
    memDC.DeleteDC();
}

void CImageButton::OnMouseMove(UINT, CPoint)
{
    m_bHover = true;
    if (!m_bTracking) {
        TRACKMOUSEEVENT request;
        request.cbSize = sizeof(TRACKMOUSEEVENT);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = m_hWnd;
        request.dwHoverTime = HOVER_DEFAULT;
        TrackMouseEvent(&request);
        m_bTracking = true;
        InvalidateRect(nullptr, TRUE);
    }
}

LRESULT CImageButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_bHover = false;
    m_bTracking = false;
    InvalidateRect(nullptr, TRUE);
    return 0;
}
