#include "platform/afx/CBitmap.h"

#include "platform/afx/AfxResources.h"
#include "platform/win/ResourceNames.h"

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(static_cast<WORD>(nIDResource))));
}

BOOL CBitmap::Attach(HBITMAP hBitmap)
{
    DeleteObject();
    m_hObject = hBitmap;
    return hBitmap != nullptr;
}

BOOL CBitmap::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}
