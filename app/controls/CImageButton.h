// An owner-drawn push button painted from CBitmapButton's image slots: normal, pressed (the
// selected slot), hover (the focus slot) and disabled. It repaints when the pointer enters and
// when it leaves, and draws no text, frame or focus rectangle.
#pragma once

#include "platform/afx/CBitmapButton.h"

class CImageButton : public CBitmapButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // Makes the template's push button owner-drawn.
    void PreSubclassWindow() override;
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    bool m_bHover = false;
    bool m_bTracking = false;

    DECLARE_MESSAGE_MAP()
};
