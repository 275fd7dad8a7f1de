// CRgn: owns one region handle and deletes it.
#pragma once

#include "platform/win/Regions.h"

class CRgn {
public:
    CRgn() = default;
    CRgn(const CRgn&) = delete;
    CRgn& operator=(const CRgn&) = delete;
    ~CRgn() { DeleteObject(); }

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL DeleteObject();

    HRGN GetSafeHandle() const { return m_hObject; }
    operator HRGN() const { return m_hObject; }

private:
    HRGN m_hObject = nullptr;
};
