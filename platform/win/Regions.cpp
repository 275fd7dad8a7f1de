#include "platform/win/Regions.h"

#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include <utility>
#include <vector>

#include "platform/win/CairoPtr.h"
#include "platform/win/WindowHandles.h"

namespace {

cairo_region_t* CairoRegion(HRGN region)
{
    return reinterpret_cast<cairo_region_t*>(region);
}

// The handle owns the region until DeleteObject.
HRGN Handle(CairoPtr<cairo_region_t> region)
{
    if (cairo_region_status(region.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return reinterpret_cast<HRGN>(region.release());
}

int KindOf(const cairo_region_t* region)
{
    if (cairo_region_status(region) != CAIRO_STATUS_SUCCESS)
        return ERROR;
    switch (cairo_region_num_rectangles(region)) {
    case 0:
        return NULLREGION;
    case 1:
        return SIMPLEREGION;
    default:
        return COMPLEXREGION;
    }
}

constexpr const char* kShapeKey = "zorv-shape";
constexpr const char* kFollowingKey = "zorv-shape-following";

const cairo_region_t* ShapeOf(GtkWidget* window)
{
    return static_cast<const cairo_region_t*>(g_object_get_data(G_OBJECT(window), kShapeKey));
}

// GDK hands a top-level window's bounding shape to the X server only when it paints the window's
// first frame, after the window is mapped, so that the window would first appear as a plain
// rectangle. The bounding shape goes to the server directly instead, as soon as the window
// exists, and GDK never learns of it, so it never sets it again.
void ApplyBoundingShape(GtkWidget* window, gpointer)
{
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow) || !gdk_display_supports_shapes(gdk_window_get_display(gdkWindow)))
        return;
    Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
    const Window xid = GDK_WINDOW_XID(gdkWindow);
    const cairo_region_t* region = ShapeOf(window);
    if (!region) {
        XShapeCombineMask(display, xid, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    const int scale = gdk_window_get_scale_factor(gdkWindow);
    std::vector<XRectangle> rects;
    for (int i = 0; i < cairo_region_num_rectangles(region); ++i) {
        cairo_rectangle_int_t rect;
        cairo_region_get_rectangle(region, i, &rect);
        rects.push_back({static_cast<short>(rect.x * scale), static_cast<short>(rect.y * scale),
                         static_cast<unsigned short>(rect.width * scale),
                         static_cast<unsigned short>(rect.height * scale)});
    }
    // A cairo region's rectangles come in bands from top to bottom, each from left to right.
    XShapeCombineRectangles(display, xid, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                            ShapeSet, YXBanded);
}

// GTK resets a top-level window's input shape when it maps the window's child, so the shape is
// set again on every map.
void RestoreInputShape(GtkWidget* window, gpointer)
{
    gtk_widget_input_shape_combine_region(window, const_cast<cairo_region_t*>(ShapeOf(window)));
}

void SetShape(GtkWidget* window, const cairo_region_t* region)
{
    if (region)
        g_object_set_data_full(G_OBJECT(window), kShapeKey, cairo_region_copy(region), [](gpointer shape) {
            CairoDestroy()(static_cast<cairo_region_t*>(shape));
        });
    else
        g_object_set_data(G_OBJECT(window), kShapeKey, nullptr);
    if (!g_object_get_data(G_OBJECT(window), kFollowingKey)) {
        g_signal_connect_after(window, "realize", G_CALLBACK(ApplyBoundingShape), nullptr);
        g_signal_connect_after(window, "map", G_CALLBACK(RestoreInputShape), nullptr);
        g_object_set_data(G_OBJECT(window), kFollowingKey, window);
    }
    if (gtk_widget_get_realized(window))
        ApplyBoundingShape(window, nullptr);
    gtk_widget_input_shape_combine_region(window, const_cast<cairo_region_t*>(region));
}

}  // namespace

HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data)
{
    if (xform || !data || size < sizeof(RGNDATAHEADER))
        return nullptr;
    const RGNDATAHEADER header = data->rdh;
    if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES ||
        header.nCount > (size - sizeof(RGNDATAHEADER)) / sizeof(RECT))
        return nullptr;
    const auto* listed = reinterpret_cast<const RECT*>(data->Buffer);
    std::vector<cairo_rectangle_int_t> rectangles;
    rectangles.reserve(header.nCount);
    for (DWORD i = 0; i < header.nCount; ++i) {
        const RECT& rect = listed[i];
        if (rect.right > rect.left && rect.bottom > rect.top)
            rectangles.push_back({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
    }
    return Handle(CairoPtr<cairo_region_t>(cairo_region_create_rectangles(rectangles.data(), static_cast<int>(rectangles.size()))));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const cairo_rectangle_int_t rect = {left, top, right - left, bottom - top};
    return Handle(CairoPtr<cairo_region_t>(cairo_region_create_rectangle(&rect)));
}

int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode)
{
    if (!destination || !first || !second || mode != RGN_OR)
        return ERROR;
    CairoPtr<cairo_region_t> result(cairo_region_copy(CairoRegion(first)));
    if (cairo_region_union(result.get(), CairoRegion(second)) != CAIRO_STATUS_SUCCESS)
        return ERROR;
    cairo_region_t* target = CairoRegion(destination);
    const cairo_rectangle_int_t nothing = {0, 0, 0, 0};
    cairo_region_intersect_rectangle(target, &nothing);
    const cairo_status_t status = cairo_region_union(target, result.get());
    return status == CAIRO_STATUS_SUCCESS ? KindOf(target) : ERROR;
}

BOOL DeleteObject(HRGN region)
{
    if (!region)
        return FALSE;
    CairoDestroy()(CairoRegion(region));
    return TRUE;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw)
{
    // A top-level window's registered widget is the container right inside its GtkWindow.
    GtkWidget* widget = GetWindowWidget(window);
    GtkWidget* top = widget ? gtk_widget_get_parent(widget) : nullptr;
    if (!top || !GTK_IS_WINDOW(top))
        return 0;
    SetShape(top, CairoRegion(region));
    if (region)
        DeleteObject(region);
    if (redraw)
        gtk_widget_queue_draw(top);
    return 1;
}

const cairo_region_t* RegionOf(HRGN region)
{
    return CairoRegion(region);
}
