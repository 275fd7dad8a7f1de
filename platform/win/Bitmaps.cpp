#include "platform/win/Bitmaps.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdlib>

#include "platform/win/CairoPtr.h"
#include "platform/win/ResourceNames.h"
#include "platform/win/EmbeddedResources.h"
#include "platform/win/ImageDecode.h"

struct HBITMAP__ {
    CairoPtr<cairo_surface_t> surface;  // CAIRO_FORMAT_RGB24
    WORD bitsPerPixel;
    bool dibSection;
    bool bottomUp;
};

namespace {

HBITMAP NewBitmap(CairoPtr<cairo_surface_t> surface, WORD bitsPerPixel, bool dibSection, bool bottomUp)
{
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return new HBITMAP__{std::move(surface), bitsPerPixel, dibSection, bottomUp};
}

// The colour bytes of the picture; an alpha channel that the decoder made of a 32-bit BMP's
// fourth byte is dropped, as GDI never reads it.
CairoPtr<cairo_surface_t> SurfaceOf(const GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const int sourcePitch = gdk_pixbuf_get_rowstride(pixbuf);
    const guint8* source = gdk_pixbuf_read_pixels(pixbuf);
    CairoPtr<cairo_surface_t> surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return surface;
    unsigned char* target = cairo_image_surface_get_data(surface.get());
    const int targetPitch = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const guint8* from = source + y * sourcePitch;
        auto* to = reinterpret_cast<std::uint32_t*>(target + y * targetPitch);
        for (int x = 0; x < width; ++x, from += channels)
            to[x] = static_cast<std::uint32_t>(from[0]) << 16 | static_cast<std::uint32_t>(from[1]) << 8 | from[2];
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

}  // namespace

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name)
{
    const int id = ResourceNumber(name);
    if (id < 0)
        return nullptr;
    const ResourceBytes bytes = FindBitmapResource(id);
    if (bytes.size() < 30)
        return nullptr;
    GObjectPtr<GdkPixbuf> pixbuf = DecodeImage(bytes);
    if (!pixbuf)
        return nullptr;
    const WORD bitsPerPixel = static_cast<WORD>(bytes[28] | bytes[29] << 8);
    return NewBitmap(SurfaceOf(pixbuf.get()), bitsPerPixel, false, false);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0)
        return nullptr;
    const int height = std::abs(header.biHeight);
    HBITMAP bitmap = NewBitmap(CairoPtr<cairo_surface_t>(cairo_image_surface_create(CAIRO_FORMAT_RGB24, header.biWidth, height)),
                               32, true, header.biHeight > 0);
    if (bitmap && bits)
        *bits = cairo_image_surface_get_data(bitmap->surface.get());
    return bitmap;
}

BITMAPINFO DibSectionInfo(int width, int height, RowOrder order)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = order == RowOrder::BottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

int GetObjectW(HBITMAP bitmap, int size, BITMAP* object)
{
    if (!bitmap || !object || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    cairo_surface_t* surface = bitmap->surface.get();
    object->bmType = 0;
    object->bmWidth = cairo_image_surface_get_width(surface);
    object->bmHeight = cairo_image_surface_get_height(surface);
    object->bmPlanes = 1;
    object->bmBitsPixel = bitmap->bitsPerPixel;
    if (bitmap->dibSection) {
        object->bmWidthBytes = cairo_image_surface_get_stride(surface);
        object->bmBits = cairo_image_surface_get_data(surface);
    } else {
        // A device-dependent bitmap reports word-aligned rows of its own depth and no bits.
        object->bmWidthBytes = (object->bmWidth * bitmap->bitsPerPixel + 15) / 16 * 2;
        object->bmBits = nullptr;
    }
    return sizeof(BITMAP);
}

BOOL DeleteObject(HBITMAP bitmap)
{
    if (!bitmap)
        return FALSE;
    delete bitmap;
    return TRUE;
}

cairo_surface_t* BitmapSurface(HBITMAP bitmap)
{
    return bitmap ? bitmap->surface.get() : nullptr;
}

bool IsBottomUpBitmap(HBITMAP bitmap)
{
    return bitmap && bitmap->bottomUp;
}
