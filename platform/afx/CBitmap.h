// CBitmap: owns one bitmap handle and deletes it.
#pragma once

#include "platform/win/Bitmaps.h"

class CBitmap {
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    ~CBitmap() { DeleteObject(); }

    // Bitmap resource nIDResource of the program, replacing the one held; FALSE when it cannot
    // be loaded, and then the object holds none.
    BOOL LoadBitmap(UINT nIDResource);
    // Takes ownership of the handle, deleting the one held before.
    BOOL Attach(HBITMAP hBitmap);
    BOOL DeleteObject();

    HBITMAP GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return m_hObject; }
    int GetObject(int nCount, BITMAP* pBitmap) const { return ::GetObjectW(m_hObject, nCount, pBitmap); }

private:
    HBITMAP m_hObject = nullptr;
};
