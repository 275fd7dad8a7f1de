#include "app/UpdateWindowControls.h"

#include "platform/afx/CDataExchange.h"
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

void UpdateWindowControls::Exchange(CDataExchange* pDX) const
{
    DDX_Control(pDX, IDC_PROGRESS_TOTAL, progTotal);
    DDX_Control(pDX, IDC_PROGRESS_FILE, progFile);
    DDX_Control(pDX, IDC_TEXT_TOTAL, txtTotal);
    DDX_Control(pDX, IDC_TEXT_FILE, txtFile);
    DDX_Control(pDX, IDC_TEXT_STATUS, txtStatus);
}

void UpdateWindowControls::LayOut(LPCWSTR statusText) const
{
    LayOutBar(progTotal, IDB_PROGRESS_TOTAL_TRACK, IDB_PROGRESS_TOTAL_FILL, 43, 107);
    LayOutBar(progFile, IDB_PROGRESS_FILE_TRACK, IDB_PROGRESS_FILE_FILL, 43, 137);
    LayOutLabel(txtTotal, IDB_TEXT_TOTAL_BACKGROUND, 368, 111, 50, L"0%");
    LayOutLabel(txtFile, IDB_TEXT_FILE_BACKGROUND, 368, 141, 50, L"0%");
    LayOutLabel(txtStatus, IDB_TEXT_STATUS_BACKGROUND, 145, 164, 170, statusText);
}
