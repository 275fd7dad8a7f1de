// CPaintDC: the window's device context for its WM_PAINT, on the toolkit's drawing context of
// that paint. Made outside a paint it draws nothing.
#pragma once

#include "platform/afx/CDC.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);

    HWND m_hWnd;
};
