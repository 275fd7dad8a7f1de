// Dialog data exchange: DoDataExchange runs with one of these, and DDX_Control attaches a
// control object to a control of the dialog's template.
#pragma once

#include "platform/win/WinTypes.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches rControl to the dialog's control nIDC once: nothing when rControl is attached already
// or the dialog has no such control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
