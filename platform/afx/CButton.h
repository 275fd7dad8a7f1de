// CButton: a push button. An owner-drawn button paints in DrawItem, which its dialog's
// WM_DRAWITEM reaches by reflection.
#pragma once

#include "platform/afx/CWnd.h"

class CButton : public CWnd {
public:
    // Draws nothing; an owner-drawn button's class overrides it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
