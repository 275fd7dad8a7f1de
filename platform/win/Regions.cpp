#include "platform/win/Regions.h"

#include <gtk/gtk.h>

#include <utility>
#include <vector>

#include "platform/win/WindowHandles.h"

namespace {

cairo_region_t* CairoRegion(HRGN region)
{
    return reinterpret_cast<cairo_region_t*>(region);
}

HRGN Handle(cairo_region_t* region)
{
    if (cairo_region_status(region) != CAIRO_STATUS_SUCCESS) {
        cairo_region_destroy(region);
        return nullptr;
    }
    return reinterpret_cast<HRGN>(region);
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

constexpr const char* kInputShapeKey = "zorv-input-shape";
constexpr const char* kRestoringKey = "zorv-input-shape-restoring";

// GTK resets a top-level window's input shape when it maps the window's child, so the shape is
// set again on every map.
void RestoreInputShape(GtkWidget* window, gpointer)
{
    gtk_widget_input_shape_combine_region(
        window, static_cast<cairo_region_t*>(g_object_get_data(G_OBJECT(window), kInputShapeKey)));
}

void KeepInputShape(GtkWidget* window, const cairo_region_t* region)
{
    if (!g_object_get_data(G_OBJECT(window), kRestoringKey)) {
        g_signal_connect_after(window, "map", G_CALLBACK(RestoreInputShape), nullptr);
        g_object_set_data(G_OBJECT(window), kRestoringKey, window);
    }
    if (region)
        g_object_set_data_full(G_OBJECT(window), kInputShapeKey, cairo_region_copy(region),
                               reinterpret_cast<GDestroyNotify>(cairo_region_destroy));
    else
        g_object_set_data(G_OBJECT(window), kInputShapeKey, nullptr);
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
    return Handle(cairo_region_create_rectangles(rectangles.data(), static_cast<int>(rectangles.size())));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const cairo_rectangle_int_t rect = {left, top, right - left, bottom - top};
    return Handle(cairo_region_create_rectangle(&rect));
}

int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode)
{
    if (!destination || !first || !second || mode != RGN_OR)
        return ERROR;
    cairo_region_t* result = cairo_region_copy(CairoRegion(first));
    if (cairo_region_union(result, CairoRegion(second)) != CAIRO_STATUS_SUCCESS) {
        cairo_region_destroy(result);
        return ERROR;
    }
    cairo_region_t* target = CairoRegion(destination);
    const cairo_rectangle_int_t nothing = {0, 0, 0, 0};
    cairo_region_intersect_rectangle(target, &nothing);
    const cairo_status_t status = cairo_region_union(target, result);
    cairo_region_destroy(result);
    return status == CAIRO_STATUS_SUCCESS ? KindOf(target) : ERROR;
}

BOOL DeleteObject(HRGN region)
{
    if (!region)
        return FALSE;
    cairo_region_destroy(CairoRegion(region));
    return TRUE;
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw)
{
    // A top-level window's registered widget is the container right inside its GtkWindow.
    GtkWidget* widget = GetWindowWidget(window);
    GtkWidget* top = widget ? gtk_widget_get_parent(widget) : nullptr;
    if (!top || !GTK_IS_WINDOW(top))
        return 0;
    gtk_widget_shape_combine_region(top, CairoRegion(region));
    gtk_widget_input_shape_combine_region(top, CairoRegion(region));
    KeepInputShape(top, CairoRegion(region));
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
