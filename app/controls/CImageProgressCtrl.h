// A progress bar painted from two bitmaps of its size: the track over the whole control, then
// the fill from the left edge up to the filled width. The owner writes the members and
// invalidates the bar.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CStatic.h"

class CImageProgressCtrl : public CStatic {
public:
    // Loads the two bitmap resources; one that cannot be loaded leaves its member empty.
    void SetBitmaps(UINT nIDTrack, UINT nIDFill);

    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 0;
    CBitmap m_bmpTrack;
    CBitmap m_bmpFill;

protected:
    void OnPaint();
    // The border of the template's control is never drawn.
    void OnNcPaint() {}
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }

    DECLARE_MESSAGE_MAP()
};
