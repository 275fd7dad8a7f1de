// CRect: a RECT with its size and point test. Right and bottom are outside the rectangle.
#pragma once

#include "platform/win/GdiTypes.h"

class CRect : public RECT {
public:
    CRect() = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL PtInRect(POINT point) const
    {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
