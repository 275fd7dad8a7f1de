// Regions over cairo regions, and a window's region as its X shape.
#pragma once

#include "platform/win/GdiTypes.h"

typedef struct _cairo_region cairo_region_t;

// From a rectangle list: size is the bytes readable at data, at least the header and its nCount
// rectangles. No transformation is supported (xform must be null). Null on a malformed list.
// The caller owns the region.
HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
// Only RGN_OR. destination may be one of the sources. The kind of the result, ERROR on failure.
int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode);
BOOL DeleteObject(HRGN region);

// The window's shape for drawing and for input, in window coordinates, or its full rectangle
// for a null region. On success the region belongs to the system (it is deleted here); a window
// other than a top-level one has no shape and fails, leaving the region with the caller.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);

// For the drawing layer and tests: the region's rectangles.
const cairo_region_t* RegionOf(HRGN region);
