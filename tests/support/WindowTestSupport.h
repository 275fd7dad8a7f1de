// What the window tests share: GTK started once per test program on an X display of its own
// (an Xvfb server it starts), a modal run driven from inside its loop, the picture a window shows
// and the player's pointer and keys (xdotool).
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>

#include "platform/afx/CDialog.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/GdiTypes.h"
#include "tests/support/MainLoop.h"

// DoModal, with body called inside the modal loop once the window is mapped and has its size.
// A run that body leaves going is ended with -2 after it.
int RunModal(CDialog& dialog, const std::function<void()>& body);

GtkWindow* TopLevelOf(HWND window);
// The window's shape of that kind (ShapeBounding, ShapeInput) as the X server has it now.
CairoPtr<cairo_region_t> XShape(HWND window, int kind);
// The window's top-left corner on the screen as the X server has it.
POINT ScreenOrigin(HWND window);

// The whole top-level window as the toolkit draws it, read back.
class WindowPicture {
public:
    explicit WindowPicture(HWND window);

    int Width() const;
    int Height() const;
    // RGB(red, green, blue) of the pixel.
    COLORREF At(int x, int y) const;

private:
    CairoPtr<cairo_surface_t> m_surface;
};

// A 32-bit section of that size with each pixel's colour; the caller owns it.
HBITMAP NewSection(int width, int height, const std::function<COLORREF(int x, int y)>& colour, bool bottomUp = true);
// A pixel of a bitmap as RGB(red, green, blue).
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
// Whether the area of the picture at (x, y) shows the bitmap's pixels from (bitmapX, bitmapY).
bool ShowsBitmap(const WindowPicture& picture, int x, int y, HBITMAP bitmap, int bitmapX, int bitmapY, int width,
                 int height);

// The number of times the toolkit has drawn the window's widget since the counter was made.
class DrawCounter {
public:
    explicit DrawCounter(HWND window);
    ~DrawCounter();
    DrawCounter(const DrawCounter&) = delete;
    DrawCounter& operator=(const DrawCounter&) = delete;

    int Count() const { return m_count; }

private:
    static gboolean Counted(GtkWidget*, cairo_t*, gpointer counter);

    GtkWidget* m_widget;
    gulong m_handler;
    int m_count = 0;
};

// The player's key (an xdotool key name) to the window, which gets the keyboard focus first:
// pressed and let go, or with action "keydown" or "keyup" only pushed down or let up.
void PressKey(HWND window, const char* key, const char* action = "key");
// The player's pointer on the screen, through the X test extension.
void PointerMoveTo(int x, int y);
void PointerPress();
void PointerRelease();
