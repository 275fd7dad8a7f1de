// CPoint: a POINT with constructors.
#pragma once

#include "platform/win/GdiTypes.h"

class CPoint : public POINT {
public:
    CPoint(int initX, int initY) : POINT{initX, initY} {}
};
