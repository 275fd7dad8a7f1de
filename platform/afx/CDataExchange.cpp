#include "platform/afx/CDataExchange.h"

#include "platform/afx/CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!pDX || !pDX->m_pDlgWnd || rControl.m_hWnd)
        return;
    HWND control = nullptr;
    pDX->m_pDlgWnd->GetDlgItem(nIDC, &control);
    if (control)
        rControl.SubclassWindow(control);
}
