#include "platform/afx/CDC.h"

#include <gdk/gdk.h>
#include <pango/pangocairo.h>

#include <string>

#include "platform/afx/CBitmap.h"
#include "platform/afx/CFont.h"
#include "platform/afx/CRgn.h"
#include "platform/win/GObjectPtr.h"
#include "platform/win/Icons.h"
#include "platform/win/Text.h"

CDC::CDC(cairo_t* context) : m_context(context ? cairo_reference(context) : nullptr) {}

CDC::~CDC()
{
    Release();
}

void CDC::Release()
{
    m_context.reset();
    m_hBitmap = nullptr;
    m_pBitmap = nullptr;
}

HDC CDC::GetSafeHdc() const
{
    return reinterpret_cast<HDC>(const_cast<CDC*>(this));
}

CDC* CDC::FromHandle(HDC hDC)
{
    return reinterpret_cast<CDC*>(hDC);
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    if (m_context.get() || m_bMemory)
        return FALSE;
    m_bMemory = true;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_context.get() && !m_bMemory)
        return FALSE;
    Release();
    m_bMemory = false;
    return TRUE;
}

HBITMAP CDC::SelectObject(HBITMAP hBitmap)
{
    if (!m_bMemory)
        return nullptr;
    HBITMAP previous = m_hBitmap;
    m_context.reset();
    m_hBitmap = hBitmap;
    m_pBitmap = nullptr;
    if (cairo_surface_t* surface = BitmapSurface(hBitmap)) {
        m_context.reset(cairo_create(surface));
        // Drawing addresses the picture's rows; a bottom-up section stores them the other way.
        if (IsBottomUpBitmap(hBitmap)) {
            cairo_translate(m_context.get(), 0, cairo_image_surface_get_height(surface));
            cairo_scale(m_context.get(), 1, -1);
        }
    }
    return previous;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    CBitmap* previous = m_pBitmap;
    if (!m_bMemory)
        return nullptr;
    SelectObject(pBitmap ? pBitmap->GetSafeHandle() : nullptr);
    m_pBitmap = pBitmap;
    return previous;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    CFont* previous = m_pFont;
    m_pFont = pFont;
    return previous;
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    int previous = m_nStretchMode;
    m_nStretchMode = nStretchMode;
    return previous;
}

void CDC::DrawFrom(CDC* source, int x, int y, int width, int height, double scaleX, double scaleY,
                   double sourceX, double sourceY, bool filter)
{
    cairo_surface_t* surface = BitmapSurface(source->m_hBitmap);
    // A section's bits may have been written directly since cairo last looked.
    cairo_surface_mark_dirty(surface);
    if (m_bMemory)
        cairo_surface_mark_dirty(cairo_get_target(m_context.get()));
    CairoPtr<cairo_pattern_t> pattern(cairo_pattern_create_for_surface(surface));
    // From this context's coordinates to the source picture's, then to the source's rows.
    cairo_matrix_t toPicture;
    cairo_matrix_init(&toPicture, scaleX, 0, 0, scaleY, sourceX - x * scaleX, sourceY - y * scaleY);
    if (IsBottomUpBitmap(source->m_hBitmap)) {
        cairo_matrix_t toRows;
        cairo_matrix_init(&toRows, 1, 0, 0, -1, 0, cairo_image_surface_get_height(surface));
        cairo_matrix_multiply(&toPicture, &toPicture, &toRows);
    }
    cairo_pattern_set_matrix(pattern.get(), &toPicture);
    cairo_pattern_set_filter(pattern.get(), filter ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    if (filter)
        cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_save(m_context.get());
    // The bitmaps have no alpha, so drawing over copies them; outside the source nothing changes.
    cairo_set_source(m_context.get(), pattern.get());
    cairo_rectangle(m_context.get(), x, y, width, height);
    cairo_fill(m_context.get());
    cairo_restore(m_context.get());
    if (m_bMemory)
        cairo_surface_flush(cairo_get_target(m_context.get()));
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    if (!m_context.get() || !pSrcDC || !pSrcDC->m_hBitmap || dwRop != SRCCOPY)
        return FALSE;
    DrawFrom(pSrcDC, x, y, nWidth, nHeight, 1, 1, xSrc, ySrc, false);
    return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    if (!m_context.get() || !pSrcDC || !pSrcDC->m_hBitmap || dwRop != SRCCOPY || nWidth <= 0 || nHeight <= 0 ||
        nSrcWidth <= 0 || nSrcHeight <= 0)
        return FALSE;
    const double scaleX = static_cast<double>(nSrcWidth) / nWidth;
    const double scaleY = static_cast<double>(nSrcHeight) / nHeight;
    const bool scaled = nSrcWidth != nWidth || nSrcHeight != nHeight;
    DrawFrom(pSrcDC, x, y, nWidth, nHeight, scaleX, scaleY, xSrc, ySrc, scaled && m_nStretchMode == HALFTONE);
    return TRUE;
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    if (!m_context.get() || !pRgn || !pRgn->GetSafeHandle() || nMode != RGN_AND)
        return ERROR;
    const cairo_region_t* region = RegionOf(pRgn->GetSafeHandle());
    const int count = cairo_region_num_rectangles(region);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t rect;
        cairo_region_get_rectangle(region, i, &rect);
        cairo_rectangle(m_context.get(), rect.x, rect.y, rect.width, rect.height);
    }
    cairo_clip(m_context.get());
    double left, top, right, bottom;
    cairo_clip_extents(m_context.get(), &left, &top, &right, &bottom);
    return right > left && bottom > top ? COMPLEXREGION : NULLREGION;
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    COLORREF previous = m_crText;
    m_crText = crColor;
    return previous;
}

int CDC::SetBkMode(int nBkMode)
{
    int previous = m_nBkMode;
    m_nBkMode = nBkMode;
    return previous;
}

int CDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT)
{
    if (!m_context.get() || !lpszString || !lpRect)
        return 0;
    const std::wstring_view text = nCount < 0 ? std::wstring_view(lpszString)
                                              : std::wstring_view(lpszString, static_cast<size_t>(nCount));
    const std::string utf8 = WideToUtf8(text);
    GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(m_context.get()));
    if (m_pFont && m_pFont->GetDescription())
        pango_layout_set_font_description(layout.get(), m_pFont->GetDescription());
    pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);

    cairo_save(m_context.get());
    cairo_rectangle(m_context.get(), lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top);
    cairo_clip(m_context.get());
    if (m_nBkMode == OPAQUE) {
        cairo_set_source_rgb(m_context.get(), 1, 1, 1);
        cairo_rectangle(m_context.get(), lpRect->left, lpRect->top, width, height);
        cairo_fill(m_context.get());
    }
    cairo_set_source_rgb(m_context.get(), GetRValue(m_crText) / 255.0, GetGValue(m_crText) / 255.0,
                         GetBValue(m_crText) / 255.0);
    cairo_move_to(m_context.get(), lpRect->left, lpRect->top);
    pango_cairo_show_layout(m_context.get(), layout.get());
    cairo_restore(m_context.get());
    if (m_bMemory)
        cairo_surface_flush(cairo_get_target(m_context.get()));
    return height;
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    const std::vector<GObjectPtr<GdkPixbuf>>& images = IconImages(hIcon);
    if (!m_context.get() || images.empty())
        return FALSE;
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    GdkPixbuf* image = images.front().get();
    for (const GObjectPtr<GdkPixbuf>& candidate : images)
        if (gdk_pixbuf_get_width(candidate.get()) == width && gdk_pixbuf_get_height(candidate.get()) == height)
            image = candidate.get();
    cairo_save(m_context.get());
    cairo_rectangle(m_context.get(), x, y, width, height);
    cairo_clip(m_context.get());
    cairo_translate(m_context.get(), x, y);
    cairo_scale(m_context.get(), static_cast<double>(width) / gdk_pixbuf_get_width(image),
                static_cast<double>(height) / gdk_pixbuf_get_height(image));
    gdk_cairo_set_source_pixbuf(m_context.get(), image, 0, 0);
    cairo_paint(m_context.get());
    cairo_restore(m_context.get());
    return TRUE;
}
