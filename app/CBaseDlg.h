// The skinned base of the launcher's windows: the skin bitmap stretched over the client area,
// the window's shape cut out of the skin by the key colour, dragging by any point of the
// window's own surface, and the launcher icon.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CDialog.h"
#include "platform/win/Regions.h"

class CBaseDlg : public CDialog {
public:
    // The dialog on that template; loads the launcher icon. The derived dialog attaches the skin.
    explicit CBaseDlg(UINT nIDTemplate);

    // The bitmap's pixels without those of the key colour RGB(228, 207, 224), bitmap pixel (x, y)
    // at window point (x, y). Null for a null bitmap or when the region cannot be built. The
    // caller owns the region; the bitmap stays the caller's, untouched.
    static HRGN CreateRegionFromBitmap(HBITMAP hBitmap);

protected:
    // Does nothing more: each derived dialog sets itself up.
    BOOL OnInitDialog() override;
    // What each window does after the class library's initialisation: the icon as big and small
    // icon, the size at the top-left corner, the launcher's title, and the shape cut from the skin.
    void SetUpSkinnedWindow(HICON icon, int width, int height);
    HCURSOR OnQueryDragIcon();
    void OnPaint();
    // HTCAPTION anywhere in the client area, so that a press there drags the window.
    LRESULT OnNcHitTest(CPoint point);

    HICON m_hIcon;
    CBitmap m_bmpBackground;

    DECLARE_MESSAGE_MAP()
};
