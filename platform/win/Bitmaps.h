// Bitmaps over cairo image surfaces of 32 bits per pixel (blue, green, red and an unused byte,
// as a 32-bit DIB), whatever depth they were stored with.
#pragma once

#include "platform/win/GdiTypes.h"

typedef struct _cairo_surface cairo_surface_t;

// A bitmap resource of the program, found by number. Null when there is none or it
// cannot be decoded. The caller owns the bitmap.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);

// Only 32-bit BI_RGB sections; the device context and the section handle are not used. *bits
// points at the pixel rows in the order the header gives (bottom-up for a positive height); it
// stays valid until the bitmap is deleted. Null for other formats.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

enum class RowOrder { BottomUp, TopDown };
// No Windows name: the header of a 32-bit BI_RGB section of that size, the one format
// CreateDIBSection makes (a positive height for bottom-up rows, a negative one for top-down).
BITMAPINFO DibSectionInfo(int width, int height, RowOrder order);

// Fills a BITMAP: size, row pitch, depth and, for a DIB section, its bits. The size of the
// structure on success, else 0.
int GetObjectW(HBITMAP bitmap, int size, BITMAP* object);

BOOL DeleteObject(HBITMAP bitmap);

// For the drawing layer: the bitmap's pixels, and whether memory row 0 is the picture's bottom
// row. Drawing into the surface must be followed by cairo_surface_flush before the bits are read.
cairo_surface_t* BitmapSurface(HBITMAP bitmap);
bool IsBottomUpBitmap(HBITMAP bitmap);
