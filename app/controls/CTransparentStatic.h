// A label that paints its background bitmap, then its text over it without a text background,
// in the font its dialog gave it. The owner writes the members and invalidates the label.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CStatic.h"
#include "platform/afx/CString.h"

class CTransparentStatic : public CStatic {
public:
    CString m_strText;
    CBitmap m_bmpBkgnd;
    COLORREF m_clrText = RGB(0, 0, 0);
    UINT m_uFormat = 0;

protected:
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};
