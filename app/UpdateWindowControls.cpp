#include "app/UpdateWindowControls.h"

#include "res/resource.h"

namespace {

constexpr int kBarWidth = 317;
constexpr int kBarHeight = 19;
constexpr int kLabelHeight = 16;

}  // namespace

void LayOutBar(CImageProgressCtrl& bar, UINT nIDTrack, UINT nIDFill, int x, int y)
{
    bar.SetBitmaps(nIDTrack, nIDFill);
    bar.MoveWindow(x, y, kBarWidth, kBarHeight, TRUE);
    bar.m_nMin = 0;
    bar.m_nMax = 100;
}

void LayOutLabel(CTransparentStatic& label, UINT nIDBackground, int x, int y, int width, LPCWSTR text)
{
    label.m_bmpBkgnd.DeleteObject();
    label.m_bmpBkgnd.LoadBitmap(nIDBackground);
    label.m_clrText = kUpdateTextColour;
    label.MoveWindow(x, y, width, kLabelHeight, TRUE);
    label.m_strText = text;
}

void ShowBarPosition(CImageProgressCtrl& bar, int position)
{
    if (bar.m_nPos == position)
        return;
    bar.InvalidateRect(nullptr, FALSE);
    bar.m_nPos = position;
}

void ShowLabelText(CTransparentStatic& label, const CString& text)
{
    label.m_strText = text;
    label.InvalidateRect(nullptr, FALSE);
}

CString PercentText(int percent)
{
    CString text;
    text.Format(L"%d%%", percent);
    return text;
}
