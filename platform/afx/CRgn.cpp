#include "platform/afx/CRgn.h"

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    DeleteObject();
    m_hObject = ::CreateRectRgn(x1, y1, x2, y2);
    return m_hObject != nullptr;
}

BOOL CRgn::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}
