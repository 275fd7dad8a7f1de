// The main window as the player meets it: a real modal run on the test's own display, with the
// real engine, the launcher's web-process extension and a page served from 127.0.0.1. The window
// sits at (0, 0), so its client coordinates are screen coordinates.
#include <gtest/gtest.h>
#include <webkit2/webkit2.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/CBaseDlg.h"
#include "app/CLauncherDlg.h"
#include "browser/CCefLauncherApp.h"
#include "platform/cef/CefApp.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/FindWindow.h"
#include "platform/win/GObjectPtr.h"
#include "platform/win/GdiObjectPtr.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Text.h"
#include "res/resource.h"
#include "tests/platform/cef/BrowserTestWindow.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/TestServer.h"
#include "tests/support/WindowTestSupport.h"
#include "update/CLauncherStateScope.h"

// Last: Xlib's macros (Status, None, ...) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

namespace {

constexpr int kBrowserX = 390;
constexpr int kBrowserY = 215;
constexpr int kBrowserWidth = 682;
constexpr int kBrowserHeight = 404;
constexpr COLORREF kPageColour = RGB(10, 200, 30);

// The whole page is the colour above and one invisible button that starts the game.
constexpr const char* kPage =
    "<body style='margin:0;background:rgb(10,200,30)'>"
    "<button style='position:fixed;left:0;top:0;width:100%;height:100%;opacity:0' "
    "onclick=\"external.StartGame('from the page')\">start</button></body>";

using Region = GdiObjectPtr<HRGN__>;

Window XidOf(const CDialog& dialog)
{
    return GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(TopLevelOf(dialog.m_hWnd))));
}

WebKitWebView* FindWebView(GtkWidget* widget)
{
    if (WEBKIT_IS_WEB_VIEW(widget))
        return WEBKIT_WEB_VIEW(widget);
    if (!GTK_IS_CONTAINER(widget))
        return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    WebKitWebView* found = nullptr;
    for (GList* child = children; child && !found; child = child->next)
        found = FindWebView(GTK_WIDGET(child->data));
    g_list_free(children);
    return found;
}

// What the X server shows on the screen there.
COLORREF ScreenPixel(int x, int y)
{
    GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1));
    if (!pixbuf)
        return ~COLORREF{0};
    const guchar* pixel = gdk_pixbuf_get_pixels(pixbuf.get());
    return RGB(pixel[0], pixel[1], pixel[2]);
}

void Click(int x, int y)
{
    PointerMoveTo(x, y);
    PointerPress();
    PointerRelease();
}

// After the player's act that ends the run: the end may come through the page's web process.
void WaitForTheEnd(const CDialog& dialog)
{
    EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }));
}

constexpr POINT kCloseButton = {1102 + 14, 197 + 14};
constexpr POINT kMinimiseButton = {1121 + 10, 232 + 12};

void ClickClose()
{
    Click(kCloseButton.x, kCloseButton.y);
}

// A press on the button released away from it: pushed, but not clicked.
void PressWithoutClick(POINT button)
{
    PointerMoveTo(button.x, button.y);
    PointerPress();
    PointerMoveTo(kBrowserX - 100, kBrowserY + 300);
    PointerRelease();
}

// A page of one input field over its upper half that records the keys it receives.
constexpr const char* kInputPage =
    "<input id='field' style='position:fixed;left:0;top:0;width:100%;height:50%'><script>var keys = [];"
    "addEventListener('keydown', e => keys.push(e.key));</script>";
constexpr POINT kInputField = {kBrowserX + 341, kBrowserY + 100};

// The player clicks the page's input field, which then has the keys.
void ClickTheField(WebKitWebView* view)
{
    Click(kInputField.x, kInputField.y);
    ASSERT_TRUE(RunLoopUntil([&] { return EvaluateScript(view, "document.activeElement.id") == "field"; }));
}

// Stands in for the window manager, which the test's display has none of: it carries out a
// client's iconify request (ICCCM WM_CHANGE_STATE to the root window) by unmapping the window.
class IconifyingWindowManager {
public:
    IconifyingWindowManager() : m_display(XOpenDisplay(nullptr))
    {
        m_changeState = XInternAtom(m_display, "WM_CHANGE_STATE", False);
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        XSync(m_display, False);
    }
    ~IconifyingWindowManager() { XCloseDisplay(m_display); }
    IconifyingWindowManager(const IconifyingWindowManager&) = delete;
    IconifyingWindowManager& operator=(const IconifyingWindowManager&) = delete;

    // Handles the requests that have arrived; true once window has asked to be iconified.
    bool Iconified(Window window)
    {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == m_changeState &&
                event.xclient.window == window && event.xclient.data.l[0] == IconicState) {
                XUnmapWindow(m_display, window);
                XSync(m_display, False);
                m_iconified = true;
            }
        }
        return m_iconified;
    }

    // As the taskbar button does.
    void Restore(Window window)
    {
        XMapWindow(m_display, window);
        XSync(m_display, False);
    }

private:
    Display* m_display;
    Atom m_changeState = None;
    bool m_iconified = false;
};

class CLauncherDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZORV_WEB_EXTENSION_DIR", ZORV_WEB_EXTENSION_DIR, 1);
        CefSettings settings;
        settings.locale = "zh-CN";
        ASSERT_TRUE(CefInitialize(CefMainArgs(nullptr), settings, new CCefLauncherApp, nullptr));
        m_server.Route("/", Reply::Page(kPage));
        LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/")).c_str();
        LauncherState().m_strStartParam = L"before";
    }

    void TearDown() override
    {
        LauncherState().m_pLauncherDlg = nullptr;
        CefShutdown();
    }

    // The start-up's modal run of the window, with body inside it once the page has loaded.
    int Run(const std::function<void(CLauncherDlg&, WebKitWebView*)>& body)
    {
        CLauncherDlg dialog;
        LauncherState().m_pLauncherDlg = &dialog;
        return RunModal(dialog, [&] {
            WebKitWebView* view = FindWebView(GTK_WIDGET(TopLevelOf(dialog.m_hWnd)));
            ASSERT_NE(view, nullptr);
            ASSERT_TRUE(WaitForLoad(view, m_server.Url("/")));
            body(dialog, view);
        });
    }

    CLauncherState m_state;
    CLauncherStateScope m_stateScope{m_state};
    TestServer m_server;
};

TEST_F(CLauncherDlgTest, SitsAtTheCornerShapedByItsSkinAndShowsThePageInTheBrowsersRectangle)
{
    const int result = Run([&](CLauncherDlg& dialog, WebKitWebView* view) {
        GtkWidget* top = GTK_WIDGET(TopLevelOf(dialog.m_hWnd));
        const POINT origin = ScreenOrigin(dialog.m_hWnd);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);
        EXPECT_EQ(gtk_widget_get_allocated_width(top), 1200);
        EXPECT_EQ(gtk_widget_get_allocated_height(top), 700);
        EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(top)), "Zorv大战登陆器");
        EXPECT_NE(FindWindowW(nullptr, L"Zorv大战登陆器"), nullptr);

        CBitmap skin;
        ASSERT_TRUE(skin.LoadBitmap(IDB_LAUNCHER_BACKGROUND));
        Region expected(CBaseDlg::CreateRegionFromBitmap(skin));
        ASSERT_NE(expected, nullptr);
        for (int kind : {ShapeBounding, ShapeInput}) {
            SCOPED_TRACE(kind);
            CairoPtr<cairo_region_t> shape = XShape(dialog.m_hWnd, kind);
            EXPECT_TRUE(cairo_region_equal(shape.get(), RegionOf(expected.get())));
            EXPECT_FALSE(cairo_region_contains_point(shape.get(), 0, 0));
            EXPECT_TRUE(cairo_region_contains_point(shape.get(), kBrowserX, kBrowserY));
        }

        int x = 0;
        int y = 0;
        ASSERT_TRUE(gtk_widget_translate_coordinates(GTK_WIDGET(view), top, 0, 0, &x, &y));
        EXPECT_EQ(x, kBrowserX);
        EXPECT_EQ(y, kBrowserY);
        EXPECT_EQ(gtk_widget_get_allocated_width(GTK_WIDGET(view)), kBrowserWidth);
        EXPECT_EQ(gtk_widget_get_allocated_height(GTK_WIDGET(view)), kBrowserHeight);

        // On the screen the page fills exactly the browser's rectangle, from (390, 215) to (1072, 619).
        ASSERT_TRUE(RunLoopUntil([] { return ScreenPixel(kBrowserX + 300, kBrowserY + 200) == kPageColour; }));
        const int right = kBrowserX + kBrowserWidth - 1;
        const int bottom = kBrowserY + kBrowserHeight - 1;
        for (POINT inside : {POINT{kBrowserX, kBrowserY}, POINT{right, kBrowserY}, POINT{kBrowserX, bottom},
                             POINT{right, bottom}})
            EXPECT_EQ(ScreenPixel(inside.x, inside.y), kPageColour) << inside.x << "," << inside.y;
        for (POINT outside : {POINT{kBrowserX - 1, kBrowserY}, POINT{kBrowserX, kBrowserY - 1},
                              POINT{right + 1, bottom}, POINT{right, bottom + 1}})
            EXPECT_NE(ScreenPixel(outside.x, outside.y), kPageColour) << outside.x << "," << outside.y;
    });
    EXPECT_EQ(result, -2);
}

TEST_F(CLauncherDlgTest, TheMinimiseButtonIconifiesTheWindowAndTheRunGoesOnUntilTheCloseButtonEndsItWith100)
{
    IconifyingWindowManager windowManager;
    const int result = Run([&](CLauncherDlg& dialog, WebKitWebView*) {
        const Window window = XidOf(dialog);
        GdkWindow* gdkWindow = gtk_widget_get_window(GTK_WIDGET(TopLevelOf(dialog.m_hWnd)));
        Click(kMinimiseButton.x, kMinimiseButton.y);
        ASSERT_TRUE(RunLoopUntil([&] { return windowManager.Iconified(window); }));
        EXPECT_TRUE(RunLoopUntil([&] { return gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED; }));
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(dialog.IsModalRunning());

        windowManager.Restore(window);
        ASSERT_TRUE(RunLoopUntil([&] { return !(gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED); }));
        RunLoopFor(std::chrono::milliseconds(100));
        EXPECT_TRUE(dialog.IsModalRunning());
        ClickClose();
        WaitForTheEnd(dialog);
    });
    EXPECT_EQ(result, IDR_LAUNCHER_CLOSED);
    EXPECT_EQ(LauncherState().m_strStartParam, L"before");
}

TEST_F(CLauncherDlgTest, ThePagesCloseAndItsStartGameEndTheRun)
{
    struct Case {
        const char* name;
        std::function<void(CLauncherDlg&, WebKitWebView*)> act;
        int result;
        const wchar_t* startParam;
    };
    const Case cases[] = {
        {"the page's window.close()",
         [](CLauncherDlg&, WebKitWebView* view) { EvaluateScript(view, "window.close(); 'closed'"); }, IDCANCEL,
         L"before"},
        {"the page's button", [](CLauncherDlg&, WebKitWebView*) { Click(kBrowserX + 341, kBrowserY + 202); },
         IDR_START_GAME, L"from the page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LauncherState().m_strStartParam = L"before";
        EXPECT_EQ(Run([&](CLauncherDlg& dialog, WebKitWebView* view) {
                      c.act(dialog, view);
                      WaitForTheEnd(dialog);
                  }),
                  c.result);
        EXPECT_EQ(LauncherState().m_strStartParam, c.startParam);
    }
}

// As a push button takes the keyboard focus when pressed, the dialog's keys reach the dialog
// after a press on either button, even one that did not click it; the buttons draw no focus.
// Space clicks the focused button, as on Windows.
TEST_F(CLauncherDlgTest, AfterAPressOnAButtonEscEnterAndSpaceEndTheRun)
{
    m_server.Route("/input", Reply::Page(kInputPage));
    LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/input")).c_str();
    CBitmap closeImage;
    CBitmap minimiseImage;
    ASSERT_TRUE(closeImage.LoadBitmap(IDB_CLOSE_NORMAL));
    ASSERT_TRUE(minimiseImage.LoadBitmap(IDB_MINIMIZE_NORMAL));
    struct Case {
        const char* key;
        POINT button;
        int result;
    };
    for (const Case& c : {Case{"Escape", kCloseButton, IDCANCEL}, Case{"Return", kMinimiseButton, IDOK},
                          Case{"space", kCloseButton, IDR_LAUNCHER_CLOSED}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(Run([&](CLauncherDlg& dialog, WebKitWebView* view) {
                      // The page has the keys first.
                      ClickTheField(view);
                      PressWithoutClick(c.button);
                      RunLoopFor(std::chrono::milliseconds(100));
                      EXPECT_TRUE(dialog.IsModalRunning());
                      const WindowPicture picture(dialog.m_hWnd);
                      EXPECT_TRUE(ShowsBitmap(picture, 1102, 197, closeImage, 0, 0, 28, 28));
                      EXPECT_TRUE(ShowsBitmap(picture, 1121, 232, minimiseImage, 0, 0, 21, 25));
                      PressKey(dialog.m_hWnd, c.key);
                      WaitForTheEnd(dialog);
                  }),
                  c.result);
    }
}

// Space held on the close button while the player clicks into the page: the button lets go
// without a click and Space, let up, belongs to the page.
TEST_F(CLauncherDlgTest, TheCloseButtonThatLosesTheFocusWhileSpaceIsDownIsNotClicked)
{
    m_server.Route("/input", Reply::Page(kInputPage));
    LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/input")).c_str();
    CBitmap closeImage;
    CBitmap pressedImage;
    ASSERT_TRUE(closeImage.LoadBitmap(IDB_CLOSE_NORMAL));
    ASSERT_TRUE(pressedImage.LoadBitmap(IDB_CLOSE_PRESSED));
    const int result = Run([&](CLauncherDlg& dialog, WebKitWebView* view) {
        PressWithoutClick(kCloseButton);
        PressKey(dialog.m_hWnd, "space", "keydown");
        EXPECT_TRUE(RunLoopUntil(
            [&] { return ShowsBitmap(WindowPicture(dialog.m_hWnd), 1102, 197, pressedImage, 0, 0, 28, 28); }));
        ClickTheField(view);
        PressKey(dialog.m_hWnd, "space", "keyup");
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(dialog.IsModalRunning());
        EXPECT_TRUE(ShowsBitmap(WindowPicture(dialog.m_hWnd), 1102, 197, closeImage, 0, 0, 28, 28));
        ClickClose();
        WaitForTheEnd(dialog);
    });
    EXPECT_EQ(result, IDR_LAUNCHER_CLOSED);
}

TEST_F(CLauncherDlgTest, EscAndEnterTypedIntoThePageBelongToThePage)
{
    m_server.Route("/input", Reply::Page(kInputPage));
    LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/input")).c_str();
    const int result = Run([&](CLauncherDlg& dialog, WebKitWebView* view) {
        // The page has the keys from its first load.
        PressKey(dialog.m_hWnd, "Escape");
        ASSERT_TRUE(RunLoopUntil([&] { return EvaluateScript(view, "keys.join()") == "Escape"; }));
        // A press on a button gave the dialog the keys; a click in the page takes them back.
        PressWithoutClick(kCloseButton);
        ClickTheField(view);
        PressKey(dialog.m_hWnd, "Escape");
        PressKey(dialog.m_hWnd, "Return");
        ASSERT_TRUE(RunLoopUntil([&] { return EvaluateScript(view, "keys.join()") == "Escape,Escape,Enter"; }));
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(dialog.IsModalRunning());
        ClickClose();
        WaitForTheEnd(dialog);
    });
    EXPECT_EQ(result, IDR_LAUNCHER_CLOSED);
}

TEST_F(CLauncherDlgTest, StartGameWhileTheGameRunsShowsTheWarningAndTheWindowStaysOpen)
{
    BoxRecorder boxes;
    GtkWidget* game = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(game), "Zorv Battle");
    gtk_window_move(GTK_WINDOW(game), 1300, 800);
    gtk_widget_show(game);
    gdk_display_sync(gdk_display_get_default());

    const int result = Run([&](CLauncherDlg& dialog, WebKitWebView*) {
        Click(kBrowserX + 341, kBrowserY + 202);
        ASSERT_TRUE(RunLoopUntil([&] { return !boxes.Boxes().empty(); }));
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(dialog.IsModalRunning());
        ClickClose();
        WaitForTheEnd(dialog);
    });
    gtk_widget_destroy(game);
    EXPECT_EQ(result, IDR_LAUNCHER_CLOSED);
    const std::vector<ShownBox> shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"警告");
    EXPECT_EQ(shown[0].text, L"您已经打开了一个游戏程序，游戏不支持多开!");
    EXPECT_EQ(shown[0].type, MB_ICONINFORMATION);
    EXPECT_EQ(LauncherState().m_strStartParam, L"before");
}

}  // namespace
