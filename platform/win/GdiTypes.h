// The GDI value types, object handles and constants the skin code is written with.
#pragma once

#include "platform/win/WinTypes.h"

using COLORREF = DWORD;
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 | static_cast<COLORREF>(blue) << 16;
}
constexpr BYTE GetRValue(COLORREF colour) { return static_cast<BYTE>(colour); }
constexpr BYTE GetGValue(COLORREF colour) { return static_cast<BYTE>(colour >> 8); }
constexpr BYTE GetBValue(COLORREF colour) { return static_cast<BYTE>(colour >> 16); }

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// Bitmaps (Bitmaps.h), regions (Regions.h), icons (Icons.h). HDC names a CDC of the class
// library layer.
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HDC__;
using HDC = HDC__*;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // positive: rows stored bottom-up
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct RGNDATAHEADER {
    DWORD dwSize = 0;
    DWORD iType = 0;
    DWORD nCount = 0;
    DWORD nRgnSize = 0;
    RECT rcBound;
};
// The header followed by nCount RECTs.
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};
struct XFORM;

static_assert(sizeof(RECT) == 16 && sizeof(RGNDATAHEADER) == 32 && sizeof(BITMAPINFOHEADER) == 40);

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int BLACKONWHITE = 1;
constexpr int HALFTONE = 4;

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD RDH_RECTANGLES = 1;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
// Results of the region functions.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
