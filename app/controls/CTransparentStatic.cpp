#include "app/controls/CTransparentStatic.h"

#include "platform/afx/CPaintDC.h"

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CTransparentStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    if (m_bmpBkgnd.GetSafeHandle()) {
        CBitmap* previous = memDC.SelectObject(&m_bmpBkgnd);
        dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(previous);
    }
    if (!m_strText.IsEmpty()) {
        CFont* previousFont = dc.SelectObject(GetFont());
        dc.SetTextColor(m_clrText);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(m_strText, m_strText.GetLength(), &rect, m_uFormat);
        dc.SelectObject(previousFont);
    }
    memDC.DeleteDC();
}
