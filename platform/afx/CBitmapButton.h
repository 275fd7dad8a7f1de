// CBitmapButton: a button with four image slots. Drawing them is left to the class that derives
// from it.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CButton.h"

class CBitmapButton : public CButton {
public:
    // Deletes the four images, then loads the normal one and each other one whose id is not 0.
    // FALSE when the normal one or any other asked for cannot be loaded; those slots stay empty.
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                     UINT nIDBitmapResourceDisabled = 0);

protected:
    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
