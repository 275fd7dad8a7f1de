// CDC: a device context over a cairo context. A memory context (CreateCompatibleDC) draws into
// the bitmap selected into it and is the source of BitBlt and StretchBlt; a window's context
// draws on the window while it paints (CPaintDC). Raster operations other than SRCCOPY are not
// supported.
#pragma once

#include "platform/win/CairoPtr.h"
#include "platform/win/GdiTypes.h"

class CBitmap;
class CFont;
class CRgn;
typedef struct _cairo cairo_t;

class CDC {
public:
    CDC() = default;
    // On a toolkit drawing context, of which it keeps a reference; null draws nothing.
    explicit CDC(cairo_t* context);
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // HDC names the CDC object itself.
    HDC GetSafeHdc() const;
    static CDC* FromHandle(HDC hDC);

    // A memory context; pDC is not needed for that on this platform.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // Memory contexts only. The bitmap selected before is returned (null for none) for selecting
    // it back.
    CBitmap* SelectObject(CBitmap* pBitmap);
    HBITMAP SelectObject(HBITMAP hBitmap);
    // The font DrawText uses; returns the one it replaces.
    CFont* SelectObject(CFont* pFont);

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    // HALFTONE filters when it scales, any other mode takes the nearest pixel.
    int SetStretchBltMode(int nStretchMode);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop);

    // Only RGN_AND: the clip becomes its intersection with the region (logical coordinates).
    int SelectClipRgn(CRgn* pRgn, int nMode);

    COLORREF SetTextColor(COLORREF crColor);
    // OPAQUE fills the text's extent white behind it (the default background colour).
    int SetBkMode(int nBkMode);
    // Only format 0, the top-left layout: the text from the rectangle's top-left corner,
    // broken only at line breaks, clipped to the rectangle. A count of -1 takes the whole text.
    // Returns the text's height.
    int DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);

    // The icon's image of SM_CXICON by SM_CYICON pixels at x, y.
    BOOL DrawIcon(int x, int y, HICON hIcon);

private:
    void Release();
    void DrawFrom(CDC* source, int x, int y, int width, int height, double scaleX, double scaleY,
                  double sourceX, double sourceY, bool filter);

    CairoPtr<cairo_t> m_context;  // one reference
    bool m_bMemory = false;
    HBITMAP m_hBitmap = nullptr;
    CBitmap* m_pBitmap = nullptr;
    CFont* m_pFont = nullptr;
    COLORREF m_crText = RGB(0, 0, 0);
    int m_nBkMode = OPAQUE;
    int m_nStretchMode = BLACKONWHITE;
};
