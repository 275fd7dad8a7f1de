#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <X11/extensions/shape.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/win/Bitmaps.h"
#include "platform/win/UniqueDescriptor.h"
#include "platform/win/WindowHandles.h"

namespace {

// An Xvfb server of the test program's own, on the first free display number. It is stopped at
// exit, and ends with the program however the program ends.
class PrivateDisplay {
public:
    // False when no server could be started.
    bool Start()
    {
        gchar* server = g_find_program_in_path("Xvfb");
        int report[2];
        if (!server || pipe(report) != 0) {
            g_free(server);
            return false;
        }
        UniqueDescriptor reader(report[0]);
        UniqueDescriptor writer(report[1]);
        const std::string reportFd = std::to_string(writer.Get());
        const char* const arguments[] = {server, "-displayfd", reportFd.c_str(), "-screen", "0", "1280x1024x24",
                                         "-nolisten", "tcp", nullptr};
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls until exec.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(1);
            reader.Reset();
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDERR_FILENO);
            execv(server, const_cast<char* const*>(arguments));
            _exit(127);
        }
        g_free(server);
        writer.Reset();
        std::string number;
        char c = 0;
        while (m_pid > 0 && read(reader.Get(), &c, 1) == 1 && c != '\n')
            number += c;
        if (number.empty())
            return false;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }

    ~PrivateDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = 0;
};

class GtkEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // Tests that ctest runs side by side must neither cover each other's windows nor move each
        // other's pointer: each program has a display of its own.
        ASSERT_TRUE(m_display.Start()) << "Xvfb could not be started";
        setenv("GDK_SCALE", "1", 1);
        setenv("GDK_BACKEND", "x11", 1);
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "no connection to the test's display";
    }

private:
    PrivateDisplay m_display;
};

[[maybe_unused]] ::testing::Environment* const kGtk = ::testing::AddGlobalTestEnvironment(new GtkEnvironment);

void RunXdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    // Let the events arrive before the test looks for their effect.
    RunLoopFor(std::chrono::milliseconds(50));
}

}  // namespace

// ThreadSanitizer: fontconfig, which pango drives, loads fonts on a thread of its own and is not
// instrumented, so its own locking is not seen.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libfontconfig.so.1\n"
           "called_from_lib:libfontconfig.so.1\n";
}

GtkWindow* TopLevelOf(HWND window)
{
    GtkWidget* widget = GetWindowWidget(window);
    GtkWidget* top = widget ? gtk_widget_get_toplevel(widget) : nullptr;
    return top && GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

CairoPtr<cairo_region_t> XShape(HWND window, int kind)
{
    GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(TopLevelOf(window)));
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(GDK_WINDOW_XDISPLAY(gdkWindow), GDK_WINDOW_XID(gdkWindow), kind, &count,
                                            &ordering);
    CairoPtr<cairo_region_t> region(cairo_region_create());
    for (int i = 0; i < count; ++i) {
        const cairo_rectangle_int_t rect = {rects[i].x, rects[i].y, rects[i].width, rects[i].height};
        cairo_region_union_rectangle(region.get(), &rect);
    }
    XFree(rects);
    return region;
}

POINT ScreenOrigin(HWND window)
{
    GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(TopLevelOf(window)));
    int x = 0;
    int y = 0;
    if (gdkWindow)
        gdk_window_get_origin(gdkWindow, &x, &y);
    return {x, y};
}

int RunModal(CDialog& dialog, const std::function<void()>& body)
{
    struct Script {
        CDialog& dialog;
        const std::function<void()>& body;
        bool started = false;
    } script{dialog, body};
    const guint source = g_idle_add(
        [](gpointer data) -> gboolean {
            auto& run = *static_cast<Script*>(data);
            run.started = true;
            GtkWindow* window = TopLevelOf(run.dialog.m_hWnd);
            EXPECT_TRUE(RunLoopUntil([&] {
                return window && gtk_widget_get_mapped(GTK_WIDGET(window)) && gtk_widget_get_allocated_width(GTK_WIDGET(window)) > 1;
            }));
            // A first full paint, so that later counts start from a drawn window.
            RunLoopFor(std::chrono::milliseconds(50));
            run.body();
            if (run.dialog.IsModalRunning())
                run.dialog.EndDialog(-2);
            return G_SOURCE_REMOVE;
        },
        &script);
    const int result = dialog.DoModal();
    if (!script.started)
        g_source_remove(source);
    return result;
}

WindowPicture::WindowPicture(HWND window)
{
    GtkWidget* top = GTK_WIDGET(TopLevelOf(window));
    m_surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, gtk_widget_get_allocated_width(top),
                                               gtk_widget_get_allocated_height(top)));
    gtk_widget_draw(top, CairoPtr<cairo_t>(cairo_create(m_surface.get())).get());
    cairo_surface_flush(m_surface.get());
}

int WindowPicture::Width() const
{
    return cairo_image_surface_get_width(m_surface.get());
}

int WindowPicture::Height() const
{
    return cairo_image_surface_get_height(m_surface.get());
}

namespace {

COLORREF SurfacePixel(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    const auto pixel = reinterpret_cast<const std::uint32_t*>(row)[x];
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
}

}  // namespace

COLORREF WindowPicture::At(int x, int y) const
{
    return SurfacePixel(m_surface.get(), x, y);
}

HBITMAP NewSection(int width, int height, const std::function<COLORREF(int x, int y)>& colour, bool bottomUp)
{
    const BITMAPINFO info = DibSectionInfo(width, height, bottomUp ? RowOrder::BottomUp : RowOrder::TopDown);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BITMAP object;
    GetObjectW(bitmap, sizeof(BITMAP), &object);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(bits) +
                                                     (bottomUp ? height - 1 - y : y) * object.bmWidthBytes);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            row[x] = static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 |
                     GetBValue(c);
        }
    }
    return bitmap;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    cairo_surface_t* surface = BitmapSurface(bitmap);
    if (IsBottomUpBitmap(bitmap))
        y = cairo_image_surface_get_height(surface) - 1 - y;
    return SurfacePixel(surface, x, y);
}

bool ShowsBitmap(const WindowPicture& picture, int x, int y, HBITMAP bitmap, int bitmapX, int bitmapY, int width,
                 int height)
{
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            if (picture.At(x + column, y + row) != BitmapPixel(bitmap, bitmapX + column, bitmapY + row))
                return false;
    return true;
}

DrawCounter::DrawCounter(HWND window) : m_widget(GetWindowWidget(window))
{
    g_object_add_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
    m_handler = g_signal_connect_after(m_widget, "draw", G_CALLBACK(Counted), this);
}

DrawCounter::~DrawCounter()
{
    if (!m_widget)
        return;
    g_signal_handler_disconnect(m_widget, m_handler);
    g_object_remove_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
}

gboolean DrawCounter::Counted(GtkWidget*, cairo_t*, gpointer counter)
{
    ++static_cast<DrawCounter*>(counter)->m_count;
    return FALSE;
}

void PressKey(HWND window, const char* key, const char* action)
{
    gdk_window_focus(gtk_widget_get_window(GTK_WIDGET(TopLevelOf(window))), GDK_CURRENT_TIME);
    RunLoopFor(std::chrono::milliseconds(20));
    RunXdotool(std::string(action) + " " + key);
}

void PointerMoveTo(int x, int y)
{
    RunXdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void PointerPress()
{
    RunXdotool("mousedown 1");
}

void PointerRelease()
{
    RunXdotool("mouseup 1");
}
