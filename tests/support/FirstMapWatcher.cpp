#include "tests/support/FirstMapWatcher.h"

#include <gtk/gtk.h>
#include <poll.h>

#include <gdk/gdkx.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

#include "platform/afx/CDialog.h"
#include "platform/win/WindowHandles.h"
#include "tests/support/WindowTestSupport.h"

unsigned long TopLevelXid(HWND window)
{
    GtkWidget* widget = GetWindowWidget(window);
    GtkWidget* top = widget ? gtk_widget_get_toplevel(widget) : nullptr;
    GdkWindow* gdkWindow = top ? gtk_widget_get_window(top) : nullptr;
    return gdkWindow ? GDK_WINDOW_XID(gdkWindow) : 0;
}

FirstMapWatcher::FirstMapWatcher() : m_display(XOpenDisplay(nullptr))
{
    int errorBase = 0;
    if (!m_display || !XShapeQueryExtension(m_display, &m_shapeEventBase, &errorBase))
        return;
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XSync(m_display, False);
    m_thread = std::thread([this] { Watch(); });
}

FirstMapWatcher::~FirstMapWatcher()
{
    Stop();
    if (m_display)
        XCloseDisplay(m_display);
}

void FirstMapWatcher::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool FirstMapWatcher::SawFirstMap(unsigned long window) const
{
    std::lock_guard lock(m_mutex);
    return m_mapped.count(window) > 0;
}

CairoPtr<cairo_region_t> FirstMapWatcher::ShapeAtFirstMap(unsigned long window) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_mapped.find(window);
    if (found == m_mapped.end())
        return nullptr;
    const std::vector<cairo_rectangle_int_t>& shape = found->second.shape;
    return CairoPtr<cairo_region_t>(cairo_region_create_rectangles(shape.data(), static_cast<int>(shape.size())));
}

bool FirstMapWatcher::ReshapedAfterFirstMap(unsigned long window) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_mapped.find(window);
    return found != m_mapped.end() && found->second.reshaped;
}

void FirstMapWatcher::Watch()
{
    for (;;) {
        const bool last = m_stop;
        // On the last round everything the server did before the stop is in the queue.
        if (last)
            XSync(m_display, False);
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            Handle(event);
        }
        if (last)
            return;
        pollfd connection = {ConnectionNumber(m_display), POLLIN, 0};
        poll(&connection, 1, 10);
    }
}

void FirstMapWatcher::Handle(const XEvent& event)
{
    const Window root = DefaultRootWindow(m_display);
    if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
        // Selected with the server grabbed once the window is known to exist: no error can come.
        const Window window = event.xcreatewindow.window;
        XGrabServer(m_display);
        if (Exists(window))
            XShapeSelectInput(m_display, window, ShapeNotifyMask);
        XUngrabServer(m_display);
        XSync(m_display, False);
    } else if (event.type == MapNotify && event.xmap.event == root) {
        const Window window = event.xmap.window;
        {
            std::lock_guard lock(m_mutex);
            if (m_mapped.count(window))
                return;
        }
        // Shape changes the window's client makes after the map wait until the shape is read; one
        // made before the grab arrives as a ShapeNotify after this event.
        Seen seen;
        XGrabServer(m_display);
        if (Exists(window)) {
            int count = 0;
            int ordering = 0;
            XRectangle* rects = XShapeGetRectangles(m_display, window, ShapeBounding, &count, &ordering);
            for (int i = 0; i < count; ++i)
                seen.shape.push_back({rects[i].x, rects[i].y, rects[i].width, rects[i].height});
            if (rects)
                XFree(rects);
        }
        XUngrabServer(m_display);
        XSync(m_display, False);
        std::lock_guard lock(m_mutex);
        m_mapped.emplace(window, std::move(seen));
    } else if (event.type == m_shapeEventBase + ShapeNotify) {
        const auto& shape = reinterpret_cast<const XShapeEvent&>(event);
        if (shape.kind != ShapeBounding)
            return;
        std::lock_guard lock(m_mutex);
        auto found = m_mapped.find(shape.window);
        if (found != m_mapped.end())
            found->second.reshaped = true;
    }
}

bool FirstMapWatcher::Exists(unsigned long window)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    bool found = false;
    if (XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = children[i] == window;
        XFree(children);
    }
    return found;
}

::testing::AssertionResult ShapedFromItsFirstMap(CDialog& dialog, const cairo_region_t* shape)
{
    FirstMapWatcher watcher;
    unsigned long window = 0;
    RunModal(dialog, [&] {
        window = TopLevelXid(dialog.m_hWnd);
        RunLoopUntil([&] { return watcher.SawFirstMap(window); });
    });
    watcher.Stop();
    CairoPtr<cairo_region_t> seen = watcher.ShapeAtFirstMap(window);
    if (!seen)
        return ::testing::AssertionFailure() << "no map of the window was seen";
    const int count = cairo_region_num_rectangles(seen.get());
    if (!cairo_region_equal(seen.get(), shape))
        return ::testing::AssertionFailure() << "mapped with another shape (" << count << " rectangles)";
    if (watcher.ReshapedAfterFirstMap(window))
        return ::testing::AssertionFailure() << "shaped again after the map";
    return ::testing::AssertionSuccess();
}
