#include "app/controls/CImageProgressCtrl.h"

#include <algorithm>

#include "platform/afx/AfxResources.h"
#include "platform/afx/CPaintDC.h"
#include "platform/afx/CRgn.h"
#include "platform/win/ResourceNames.h"

namespace {

// (position - minimum) x width / (maximum - minimum), in 64 bits so that no value overflows,
// within 0 and the width. A range that is not above its minimum fills nothing.
int FilledWidth(int position, int minimum, int maximum, int width)
{
    if (maximum <= minimum)
        return 0;
    const long long filled = (static_cast<long long>(position) - minimum) * width /
                             (static_cast<long long>(maximum) - minimum);
    return static_cast<int>(std::clamp<long long>(filled, 0, width));
}

}  // namespace

BEGIN_MESSAGE_MAP(CImageProgressCtrl, CStatic)
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CImageProgressCtrl::SetBitmaps(UINT nIDTrack, UINT nIDFill)
{
    m_bmpTrack.Attach(LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(static_cast<WORD>(nIDTrack))));
    m_bmpFill.Attach(LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(static_cast<WORD>(nIDFill))));
}

void CImageProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap* previous = memDC.SelectObject(&m_bmpTrack);
    dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);

    memDC.SelectObject(&m_bmpFill);
    const int filled = FilledWidth(m_nPos, m_nMin, m_nMax, rect.Width());
    CRgn clip;
    clip.CreateRectRgn(0, 0, filled, rect.Height());
    dc.SelectClipRgn(&clip, RGN_AND);
    dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);

    memDC.SelectObject(previous);
    memDC.DeleteDC();
    clip.DeleteObject();
}
