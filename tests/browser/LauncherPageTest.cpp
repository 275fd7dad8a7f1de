// The launcher's browser classes at work: real pages from a server on 127.0.0.1 in a real web
// view, with the launcher's own web-process extension, its real browser client and the
// desktop's (recording) default browser.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/CLauncherDlg.h"
#include "browser/CCefBrowserHandler.h"
#include "browser/CCefLauncherApp.h"
#include "platform/cef/CefBrowserHost.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefViewBrowser.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Text.h"
#include "tests/platform/win/DesktopRecorder.h"
#include "tests/platform/cef/BrowserTestWindow.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "update/CLauncherStateScope.h"

namespace {

DesktopRecorder* g_desktop = nullptr;
std::filesystem::path g_folder;  // a throwaway home folder and, beside it, the engine's cache

std::filesystem::path Home()
{
    return g_folder / "home";
}

// Set before anything asks GLib for the home or the user's folders, which it reads once.
class DesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_desktop = new DesktopRecorder;
        setenv("ZORV_WEB_EXTENSION_DIR", ZORV_WEB_EXTENSION_DIR, 1);
        char* folder = g_dir_make_tmp("zorv-home-XXXXXX", nullptr);
        g_folder = folder;
        g_free(folder);
        std::filesystem::create_directories(Home() / "Downloads");
        std::filesystem::create_directories(g_folder / "cache");
        setenv("HOME", Home().c_str(), 1);
        setenv("XDG_CACHE_HOME", (g_folder / "cache").c_str(), 1);
        // The desktop's config folder, outside the home folder.
        std::ofstream(std::filesystem::path(g_getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs")
            << "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n";
    }
    void TearDown() override
    {
        delete g_desktop;
        std::error_code ignored;
        std::filesystem::remove_all(g_folder, ignored);
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

struct ReceivedMessage {
    std::string name;
    std::string argument;
    friend bool operator==(const ReceivedMessage&, const ReceivedMessage&) = default;
};

std::string Join(const std::vector<std::string>& parts)
{
    std::string joined;
    for (const std::string& part : parts)
        joined += (joined.empty() ? "" : ",") + part;
    return joined;
}

void PrintTo(const ReceivedMessage& message, std::ostream* out)
{
    *out << message.name << "(" << message.argument << ")";
}

// Every file and folder under folder, with each file's bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string name = std::filesystem::relative(entry.path(), folder).string();
        if (entry.is_directory()) {
            entries[name + "/"] = "";
        } else {
            std::ifstream file(entry.path(), std::ios::binary);
            entries[name] = std::string(std::istreambuf_iterator<char>(file), {});
        }
    }
    return entries;
}

// The peak resident memory of this process (VmHWM), in KiB.
long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:"))
            return std::stol(line.substr(6));
    }
    return -1;
}

// The live web processes WebKit started for this process: WebKit has no API for their ids.
std::vector<pid_t> WebProcesses()
{
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream file(entry.path() / "stat");
        std::string stat(std::istreambuf_iterator<char>(file), {});
        // "pid (name) state parent ...": the name may hold blanks and parentheses.
        std::size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        std::istringstream rest(stat.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == getpid() && state != 'Z' && stat.compare(open + 1, 15, "WebKitWebProces") == 0)
            found.push_back(std::stoi(name));
    }
    return found;
}

// A small window of the test's own from which the player drags a file (as a text/uri-list), as
// from a file manager: a real drag over the X server, driven by the pointer.
class FileDragSource {
public:
    FileDragSource(std::string uri, int x, int y) : m_uri(std::move(uri))
    {
        m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(m_window), 150, 150);
        gtk_window_move(GTK_WINDOW(m_window), x, y);
        GtkWidget* box = gtk_event_box_new();
        gtk_container_add(GTK_CONTAINER(m_window), box);
        GtkTargetEntry target = {const_cast<char*>("text/uri-list"), 0, 0};
        gtk_drag_source_set(box, GDK_BUTTON1_MASK, &target, 1,
                            static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
        g_signal_connect(box, "drag-begin", G_CALLBACK(OnBegin), this);
        g_signal_connect(box, "drag-data-get", G_CALLBACK(OnDataGet), this);
        g_signal_connect(box, "drag-end", G_CALLBACK(OnEnd), this);
        gtk_widget_show_all(m_window);
    }
    ~FileDragSource() { gtk_widget_destroy(m_window); }

    // Presses on the source, drags onto the screen point (x, y) until the target there answers,
    // and lets go. True when the target took the file's address.
    bool DropAt(int x, int y)
    {
        m_context = nullptr;
        m_delivered = m_ended = false;
        gdk_window_raise(gtk_widget_get_window(m_window));
        gdk_display_sync(gdk_display_get_default());
        int sourceX = 0, sourceY = 0;
        gdk_window_get_origin(gtk_widget_get_window(m_window), &sourceX, &sourceY);
        std::string press = "xdotool mousemove " + std::to_string(sourceX + 75) + " " + std::to_string(sourceY + 75) +
                            " mousedown 1 mousemove " + std::to_string(sourceX + 100) + " " +
                            std::to_string(sourceY + 100);
        bool dropped = std::system(press.c_str()) == 0 && RunLoopUntil([&] { return m_context != nullptr; }, std::chrono::seconds(5));
        for (int step = 0; dropped && step < 3; ++step) {
            std::string move = "xdotool mousemove " + std::to_string(x + step) + " " + std::to_string(y);
            dropped = std::system(move.c_str()) == 0 && RunLoopUntil([&] {
                return gdk_drag_context_get_selected_action(m_context) != 0 || m_ended;
            }, std::chrono::seconds(5));
        }
        dropped = std::system("xdotool mouseup 1") == 0 && dropped;
        RunLoopUntil([&] { return m_ended; }, std::chrono::seconds(10));
        return dropped && m_delivered;
    }

private:
    static void OnBegin(GtkWidget*, GdkDragContext* context, gpointer self)
    {
        static_cast<FileDragSource*>(self)->m_context = context;
    }
    static void OnDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer self)
    {
        auto* source = static_cast<FileDragSource*>(self);
        gchar* uris[] = {source->m_uri.data(), nullptr};
        gtk_selection_data_set_uris(data, uris);
        source->m_delivered = true;
    }
    static void OnEnd(GtkWidget*, GdkDragContext*, gpointer self) { static_cast<FileDragSource*>(self)->m_ended = true; }

    std::string m_uri;
    GtkWidget* m_window;
    GdkDragContext* m_context = nullptr;
    bool m_delivered = false;
    bool m_ended = false;
};

// Writes down each message that reaches the client, then hands everything to the real one.
class WatchedClient : public CefRefCounted<CefClient> {
public:
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return m_client->GetDisplayHandler(); }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return m_client->GetLifeSpanHandler(); }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return m_client->GetLoadHandler(); }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override
    {
        messages.push_back({message->GetName().ToString(), message->GetArgumentList()->GetString(0).ToString()});
        bool answer = m_client->OnProcessMessageReceived(browser, source, message);
        answers.push_back(answer);
        return answer;
    }

    std::vector<ReceivedMessage> messages;
    std::vector<bool> answers;

private:
    CefRefPtr<CCefBrowserHandler> m_client = new CCefBrowserHandler;
};

class LauncherPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("GDK_SCALE", "1", 1);  // as the launcher's main sets it
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        CefSettings settings;
        settings.locale = "zh-CN";
        ASSERT_TRUE(CefInitialize(CefMainArgs(nullptr), settings, new CCefLauncherApp, nullptr));
        LauncherState().m_strStartParam = L"before";
    }

    void TearDown() override
    {
        bool gameShown = m_game != nullptr;
        if (m_game)
            gtk_widget_destroy(m_game);
        m_window.reset();
        CefShutdown();
        EXPECT_TRUE(gameShown || m_boxes.Boxes().empty()) << "a box without the game's window";
    }

    // Shows a window titled as the game's, until the end of the test.
    void ShowGameWindow()
    {
        m_game = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(m_game), "Zorv Battle");
        gtk_widget_show(m_game);
        gdk_display_sync(gdk_display_get_default());
    }

    // The main window's browser on url, as the main window makes it; waits until it has loaded.
    void Open(const std::string& url)
    {
        m_window = std::make_unique<BrowserTestWindow>();
        CefWindowInfo info;
        info.style = 0x56010000;
        info.x = 390;
        info.y = 215;
        info.width = 682;
        info.height = 404;
        info.parent_window = m_window->Handle();
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, m_client, url, CefBrowserSettings(), nullptr));
        ASSERT_TRUE(WaitForLoad(View(), url));
    }

    WebKitWebView* View() const { return m_window->WebView(); }
    std::string Evaluate(const std::string& script) const { return EvaluateScript(View(), script); }

    // Sends a last message and waits for it, so that everything sent before has arrived.
    void Settle()
    {
        Evaluate("external.StartGame('settled')");
        ASSERT_TRUE(RunLoopUntil(
            [&] { return !m_client->messages.empty() && m_client->messages.back().argument == "settled"; }));
        m_client->messages.pop_back();
        m_client->answers.pop_back();
    }

    CLauncherState m_state;
    CLauncherStateScope m_stateScope{m_state};
    TestServer m_server;
    CefRefPtr<WatchedClient> m_client = new WatchedClient;
    std::unique_ptr<BrowserTestWindow> m_window;
    BoxRecorder m_boxes;  // a box is written down, never left waiting for a player
    GtkWidget* m_game = nullptr;
};

TEST_F(LauncherPageTest, EveryFrameHasExternalWithTwoFunctionsThatPageScriptMayReplace)
{
    m_server.Route("/", Reply::Page("<iframe src='/frame'></iframe>"));
    m_server.Route("/frame", Reply::Page("<p>frame</p>"));
    Open(m_server.Url("/"));
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("frames[0].document.readyState") == "complete"; }));

    for (const char* frame : {"window", "frames[0]"}) {
        std::string external = std::string(frame) + ".external";
        EXPECT_EQ(Evaluate("typeof " + external + ".StartGame + ' ' + typeof " + external + ".OpenWeb"),
                  "function function")
            << frame;
        EXPECT_EQ(Evaluate("Object.keys(" + external + ").join()"), "StartGame,OpenWeb") << frame;
        EXPECT_EQ(Evaluate("JSON.stringify(Object.getOwnPropertyDescriptor(" + std::string(frame) +
                           ", 'external'), ['writable', 'enumerable', 'configurable'])"),
                  "{\"writable\":true,\"enumerable\":true,\"configurable\":true}");
    }
    EXPECT_EQ(Evaluate("String(frames[0].external === external)"), "false");
    EXPECT_EQ(Evaluate("external.StartGame = 1; delete external.OpenWeb; external = 'mine'; external"), "mine");
}

TEST_F(LauncherPageTest, CallsGiveUndefinedAndOnlyOneStringSendsAMessageNamedAfterTheFunction)
{
    m_server.Route("/", Reply::Page("<iframe src='/frame'></iframe>"));
    m_server.Route("/frame", Reply::Page("<p>frame</p>"));
    Open(m_server.Url("/"));
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("frames[0].document.readyState") == "complete"; }));

    std::string results = Evaluate(R"(
        var results = [];
        for (const f of [external.StartGame, external.OpenWeb, frames[0].external.StartGame]) {
            for (const args of [[], ['a', 'b'], [5], [null], [undefined], [{}], [['x']]]) {
                try { results.push(typeof f.apply(null, args)); } catch (e) { results.push('threw ' + e); }
            }
        }
        results.push(typeof external.StartGame(''), typeof external.OpenWeb(''));
        results.push(typeof frames[0].external.OpenWeb('from frame'));
        var copy = { StartGame: external.OpenWeb };
        results.push(typeof copy.StartGame('copied'));
        results.join())");
    std::vector<std::string> expected(3 * 7 + 4, "undefined");
    EXPECT_EQ(results, Join(expected));
    Settle();
    std::vector<ReceivedMessage> messages = {
        {"StartGame", ""}, {"OpenWeb", ""}, {"OpenWeb", "from frame"}, {"OpenWeb", "copied"}};
    EXPECT_EQ(m_client->messages, messages);
    EXPECT_EQ(LauncherState().m_strStartParam, L"settled");
}

TEST_F(LauncherPageTest, StartGameWithoutAMainWindowOnlyAssignsTheParameter)
{
    m_server.Route("/", Reply::Page("<button onclick=\"external.StartGame('参数 \\'1\\'')\">start</button>"));
    Open(m_server.Url("/"));
    Evaluate("document.querySelector('button').click()");
    ASSERT_TRUE(RunLoopUntil([&] { return LauncherState().m_strStartParam != L"before"; }));
    EXPECT_EQ(LauncherState().m_strStartParam, L"参数 '1'");
    EXPECT_TRUE(View());
}

TEST_F(LauncherPageTest, StartGameWhileTheGameRunsShowsTheWarningAndChangesNothing)
{
    ShowGameWindow();
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));
    Evaluate("external.StartGame('param')");
    ASSERT_TRUE(RunLoopUntil([&] { return !m_boxes.Boxes().empty(); }));

    const std::vector<ShownBox> boxes = m_boxes.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"您已经打开了一个游戏程序，游戏不支持多开!");
    EXPECT_EQ(boxes[0].caption, L"警告");
    EXPECT_EQ(boxes[0].type, MB_ICONINFORMATION);
    EXPECT_EQ(LauncherState().m_strStartParam, L"before");
    EXPECT_TRUE(View());
}

// Puts a presenter in place of the recorder for its life.
class ScopedPresenter {
public:
    explicit ScopedPresenter(MessageBoxPresenter presenter) : m_previous(SetMessageBoxPresenter(std::move(presenter))) {}
    ~ScopedPresenter() { SetMessageBoxPresenter(m_previous); }
    ScopedPresenter(const ScopedPresenter&) = delete;
    ScopedPresenter& operator=(const ScopedPresenter&) = delete;

private:
    MessageBoxPresenter m_previous;
};

TEST_F(LauncherPageTest, CallsWhileTheWarningIsUpWaitForItAndFollowOneAfterAnother)
{
    ShowGameWindow();
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));

    // Each box iterates the main loop while it is up, as the real one does; the first stays up
    // while the page calls StartGame 20000 times more.
    int depth = 0, deepest = 0, shown = 0;
    ScopedPresenter boxes([&](HWND, const std::wstring&, const std::wstring&, UINT) {
        deepest = std::max(deepest, ++depth);
        if (++shown == 1) {
            EXPECT_EQ(Evaluate("for (let i = 1; i <= 20000; ++i) external.StartGame('call ' + i); 'sent'"), "sent");
        } else {
            g_main_context_iteration(nullptr, FALSE);
        }
        --depth;
        return IDOK;
    });
    Evaluate("external.StartGame('call 0')");
    ASSERT_TRUE(RunLoopUntil([&] { return shown > 0; }));
    Settle();

    EXPECT_EQ(deepest, 1);
    // Delivered in the order sent; what could not wait was dropped, each delivered one warned.
    ASSERT_GT(m_client->messages.size(), 1u);
    EXPECT_LT(m_client->messages.size(), 1000u);
    EXPECT_EQ(shown, static_cast<int>(m_client->messages.size()) + 1);
    int previous = -1;
    for (const ReceivedMessage& message : m_client->messages) {
        ASSERT_EQ(message.name, "StartGame");
        ASSERT_TRUE(message.argument.starts_with("call ")) << message.argument;
        int number = std::stoi(message.argument.substr(5));
        EXPECT_GT(number, previous);
        previous = number;
    }
    EXPECT_EQ(m_client->messages[0].argument, "call 0");
    EXPECT_EQ(m_client->messages[1].argument, "call 1");
    EXPECT_EQ(LauncherState().m_strStartParam, L"before");
    EXPECT_TRUE(View());
}

TEST_F(LauncherPageTest, OpenWebHandsOnlyAbsoluteWebAddressesToTheDefaultBrowser)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));
    g_desktop->Clear();
    for (const char* address : {"", "notes.txt", "/bin/sh", "C:\\\\Zorv.exe", "file:///etc/passwd",
                                "javascript:alert(1)", "http:relative", "http://", "ftp://127.0.0.1/x",
                                "http://bad host/", "https://127.0.0.1/a?b=1&c=$(id);d", "HTTP://127.0.0.1/Upper"})
        Evaluate(std::string("external.OpenWeb('") + address + "')");
    Settle();
    ASSERT_TRUE(RunLoopUntil([&] { return g_desktop->Starts().size() >= 2; }));
    RunLoopFor(std::chrono::milliseconds(300));
    std::vector<std::string> starts = {"1:https://127.0.0.1/a?b=1&c=$(id);d", "1:HTTP://127.0.0.1/Upper"};
    EXPECT_EQ(g_desktop->Starts(), starts);
    // The message is the client's, whether the address leaves the launcher or not.
    EXPECT_EQ(m_client->answers, std::vector<bool>(12, true));
    EXPECT_TRUE(View());
}

// 3000 calls in a burst of a few milliseconds over ten addresses start the first three, and
// nothing more within the second; every call still reaches the client, which takes it.
TEST_F(LauncherPageTest, AFloodOfOpenWebStartsTheDefaultBrowserAFewTimesASecond)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));
    g_desktop->Clear();
    const auto flooded = std::chrono::steady_clock::now();
    EXPECT_EQ(Evaluate("for (let i = 0; i < 3000; ++i) external.OpenWeb('https://127.0.0.1/ad/' + i % 10); 'sent'"),
              "sent");
    Settle();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - flooded);
    EXPECT_EQ(m_client->messages.size(), 3000u);
    EXPECT_EQ(m_client->answers, std::vector<bool>(m_client->messages.size(), true));
    ASSERT_TRUE(RunLoopUntil([&] { return g_desktop->Starts().size() >= 3; }));
    RunLoopFor(std::chrono::milliseconds(500));
    const std::vector<std::string> starts = g_desktop->Starts();
    EXPECT_LE(starts.size(), 3 * static_cast<std::size_t>(seconds.count() + 1)) << seconds.count() << " s";
    ASSERT_GE(starts.size(), 3u);
    std::vector<std::string> first(starts.begin(), starts.begin() + 3);
    std::sort(first.begin(), first.end());  // the starts' processes write their lines in any order
    EXPECT_EQ(first, (std::vector<std::string>{"1:https://127.0.0.1/ad/0", "1:https://127.0.0.1/ad/1",
                                               "1:https://127.0.0.1/ad/2"}));
    EXPECT_TRUE(View());
}

TEST_F(LauncherPageTest, LinksAndWindowsMeantForANewBrowserLoadInTheMainFrame)
{
    m_server.Route("/", Reply::Page("<a href='/tab' target='_blank' style='position:fixed;left:0;top:0;"
                                    "width:100px;height:100px;display:block'>tab</a>"));
    m_server.Route("/tab", Reply::Page("<p>tab</p>"));
    m_server.Route("/popup", Reply::Page("<p>popup</p>"));
    Open(m_server.Url("/"));

    // A player's click on the link, inside the browser at (390, 215) of the window at (0, 0).
    // Other tests' windows share the display and may cover it: it is raised before each try.
    bool loaded = false;
    for (int attempt = 0; attempt < 5 && !loaded; ++attempt) {
        gdk_window_raise(gtk_widget_get_window(m_window->Window()));
        gdk_display_sync(gdk_display_get_default());
        ASSERT_EQ(std::system("xdotool mousemove 430 255 click 1"), 0);
        loaded = RunLoopUntil([&] { return webkit_web_view_get_uri(View()) == m_server.Url("/tab"); },
                                  std::chrono::seconds(3));
    }
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(WaitForLoad(View(), m_server.Url("/tab")));
    EXPECT_EQ(Evaluate("document.body.textContent"), "tab");

    Evaluate("window.open('/popup', 'name', 'width=200,height=100'); 'opened'");
    ASSERT_TRUE(WaitForLoad(View(), m_server.Url("/popup")));
    EXPECT_EQ(Evaluate("document.body.textContent"), "popup");

    Evaluate("window.open(); 'opened'");
    RunLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(webkit_web_view_get_uri(View()), m_server.Url("/popup"));
    EXPECT_EQ(m_window->WebViews().size(), 1u);
}

TEST_F(LauncherPageTest, WindowsForAnythingButAWebAddressAreDroppedAndThePageStays)
{
    // A local page or a data: page would get the interface and could start the game.
    TemporaryFolder folder;
    std::filesystem::path local = folder.WriteFile("local.html", "<script>external.StartGame('local')</script>");
    m_server.Route("/", Reply::Page("<p>game</p>"));
    m_server.Route("/popup", Reply::Page("<p>popup</p>"));
    Open(m_server.Url("/"));

    for (const std::string& address :
         {"file://" + local.string(), std::string("data:text/html,<script>external.StartGame('data')</script>"),
          std::string("mailto:player@example.com"), std::string("javascript:external.StartGame('script')"),
          std::string("about:blank")}) {
        SCOPED_TRACE(address);
        Evaluate("window.open(\"" + address + "\"); 'opened'");
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_FALSE(webkit_web_view_is_loading(View()));
        EXPECT_EQ(webkit_web_view_get_uri(View()), m_server.Url("/"));
        EXPECT_EQ(Evaluate("document.body.innerHTML"), "<p>game</p>");
    }
    Settle();
    EXPECT_TRUE(m_client->messages.empty());
    EXPECT_EQ(LauncherState().m_strStartParam, L"settled");

    Evaluate("window.open('" + m_server.Url("/popup") + "'); 'opened'");
    ASSERT_TRUE(WaitForLoad(View(), m_server.Url("/popup")));
    EXPECT_EQ(Evaluate("document.body.textContent"), "popup");
    EXPECT_EQ(m_window->WebViews().size(), 1u);
}

// A player's drop of a local page onto the game's page, or onto a blank one, changes nothing.
TEST_F(LauncherPageTest, ALocalFileDroppedOntoThePageIsNotLoaded)
{
    TemporaryFolder folder;
    const std::string local = "file://" + folder.WriteFile("local.html",
        "<script>external.StartGame('local')</script>").string();
    m_server.Route("/", Reply::Page("<p style='height:2000px'>game</p>"));
    FileDragSource source(local, 1300, 100);

    for (const std::string& page : {m_server.Url("/"), std::string("about:blank")}) {
        SCOPED_TRACE(page);
        Open(page);
        // Inside the browser at (390, 215) of the window at (0, 0), raised above other windows.
        bool dropped = false;
        for (int attempt = 0; attempt < 5 && !dropped; ++attempt) {
            gdk_window_raise(gtk_widget_get_window(m_window->Window()));
            dropped = source.DropAt(700, 400);
        }
        ASSERT_TRUE(dropped);
        RunLoopFor(std::chrono::milliseconds(500));
        EXPECT_EQ(webkit_web_view_get_uri(View()), page);
        EXPECT_FALSE(webkit_web_view_is_loading(View()));
        Settle();
        EXPECT_TRUE(m_client->messages.empty());
    }
}

// The listed page is the server's choice: a local one the launcher loads itself works, and no
// navigation of it leads to another local page.
TEST_F(LauncherPageTest, ALocalPageTheLauncherLoadsItselfRunsButLeadsToNoOther)
{
    TemporaryFolder folder;
    const std::string other = "file://" + folder.WriteFile("other.html",
        "<script>external.StartGame('other')</script>").string();
    const std::string listed = "file://" + folder.WriteFile("listed.html",
        "<p>listed</p><a id='link' href='" + other + "'>other</a><form id='form' action='" + other + "'></form>"
        "<script>external.StartGame('listed')</script>").string();
    Open(listed);
    ASSERT_TRUE(RunLoopUntil([&] { return !m_client->messages.empty(); }));

    for (const char* script : {"location.href = document.getElementById('link').href",
                               "document.getElementById('link').click()",
                               "document.getElementById('form').submit()",
                               "location.replace(document.getElementById('link').href + '#part')"}) {
        SCOPED_TRACE(script);
        Evaluate(std::string(script) + "; 'tried'");
        RunLoopFor(std::chrono::milliseconds(300));
        EXPECT_EQ(webkit_web_view_get_uri(View()), listed);
        EXPECT_EQ(Evaluate("document.querySelector('p').textContent"), "listed");
    }
    Settle();
    EXPECT_EQ(m_client->messages, (std::vector<ReceivedMessage>{{"StartGame", "listed"}}));
}

TEST_F(LauncherPageTest, DownloadsFromAnyFrameAreCancelledBeforeTheyTouchAFile)
{
    ASSERT_EQ(std::filesystem::path(g_get_home_dir()), Home());
    ASSERT_EQ(std::filesystem::path(g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)), Home() / "Downloads");
    std::ofstream(Home() / "Downloads" / "existing.txt") << "the player's own file";
    std::ofstream(Home() / "notes.txt") << "notes";
    const std::map<std::string, std::string> before = Snapshot(Home());

    auto attachment = [](const char* name) {
        return Reply::Body("downloaded").Header("Content-Type", "text/plain").Header(
            "Content-Disposition", std::string("attachment; filename=\"") + name + "\"");
    };
    m_server.Route("/", Reply::Page("<p>game</p>"
                                    "<a id='same' href='/link-same' download='existing.txt'>same name</a>"
                                    "<a id='new' href='/link-new' download='fresh.bin'>new name</a>"));
    for (const char* path : {"/link-same", "/link-new"})
        m_server.Route(path, Reply::Body("linked").Header("Content-Type", "application/octet-stream"));
    m_server.Route("/same", attachment("existing.txt"));
    m_server.Route("/new", attachment("new.txt"));
    m_server.Route("/notes", attachment("notes.txt"));
    m_server.Route("/main", attachment("main.txt"));
    Open(m_server.Url("/"));

    // One at a time, each until the server has answered it; WebKit now and then ignores a script's
    // click on a download link, which is then clicked again.
    const std::pair<const char*, std::string> downloads[] = {
        {"/link-same", "document.getElementById('same').click()"},
        {"/link-new", "document.getElementById('new').click()"},
        {"/same", "document.body.appendChild(document.createElement('iframe')).src = '/same'"},
        {"/new", "document.body.appendChild(document.createElement('iframe')).src = '/new'"},
        {"/notes", "frames[0].document.body.appendChild(document.createElement('iframe')).src = '/notes'"},
        {"/main", "location.href = '/main'"},
    };
    for (const auto& [path, script] : downloads) {
        SCOPED_TRACE(path);
        bool requested = false;
        for (int attempt = 0; attempt < 10 && !requested; ++attempt) {
            Evaluate(script + "; 'started'");
            requested = RunLoopUntil([&] { return m_server.RequestCount(path) > 0; }, std::chrono::seconds(2));
        }
        ASSERT_TRUE(requested);
        RunLoopFor(std::chrono::milliseconds(200));
    }
    RunLoopFor(std::chrono::milliseconds(1500));

    EXPECT_EQ(Snapshot(Home()), before);
    EXPECT_EQ(webkit_web_view_get_uri(View()), m_server.Url("/"));
    EXPECT_EQ(Evaluate("document.querySelector('p').textContent"), "game");
}

TEST_F(LauncherPageTest, AnUnpairedSurrogateBecomesAReplacementCharacterAndTheRestIsKept)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));
    Evaluate(R"(
        for (const text of ['a\uD800b', 'a\uDC00b', 'end\uD83D', '\uDE00start', 'pair \uD83D\uDE00 ok',
                            'two \uDBFF\uDBFF\uDFFF', 'quote " back \\ slash /\n\t\u0001 中文'])
            external.StartGame(text);
        'sent')");
    Settle();
    std::vector<ReceivedMessage> messages = {
        {"StartGame", "a\uFFFDb"},
        {"StartGame", "a\uFFFDb"},
        {"StartGame", "end\uFFFD"},
        {"StartGame", "\uFFFDstart"},
        {"StartGame", "pair \U0001F600 ok"},
        {"StartGame", "two \uFFFD\U0010FFFF"},
        {"StartGame", "quote \" back \\ slash /\n\t\x01 中文"},
    };
    EXPECT_EQ(m_client->messages, messages);
}

// A Windows command line holds 32767 UTF-16 units with its NUL: a longer argument is refused in
// the page's process, before its text is copied, and the browser process never sees it.
TEST_F(LauncherPageTest, AnArgumentLongerThanACommandLineSendsNothingAndCostsNoMemory)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    Open(m_server.Url("/"));
    g_desktop->Clear();
    const long before = PeakMemoryKiB();
    ASSERT_GT(before, 0);
    EXPECT_EQ(Evaluate(R"(
        external.StartGame('a'.repeat(100 * 1024 * 1024));
        external.OpenWeb('https://127.0.0.1/' + 'b'.repeat(32766));
        external.StartGame('c'.repeat(32767));
        external.StartGame('\uD83D\uDE00'.repeat(16384));
        external.StartGame('d'.repeat(32766));
        external.StartGame('\uD83D\uDE00'.repeat(16383));
        'sent')"),
              "sent");
    Settle();
    std::vector<ReceivedMessage> messages = {{"StartGame", std::string(32766, 'd')}};
    std::string pairs;
    for (int i = 0; i < 16383; ++i)
        pairs += "\U0001F600";
    messages.push_back({"StartGame", pairs});
    EXPECT_EQ(m_client->messages, messages);
    EXPECT_LT(PeakMemoryKiB() - before, 64 * 1024);
    EXPECT_TRUE(g_desktop->Starts().empty());
}

TEST_F(LauncherPageTest, ExternalIsThereAfterANavigationAndInABlankFrameAScriptInserts)
{
    m_server.Route("/", Reply::Page("<p>first</p>"));
    m_server.Route("/second", Reply::Page("<p>second</p>"));
    Open(m_server.Url("/"));
    Evaluate("location.href = '/second'; 'left'");
    ASSERT_TRUE(WaitForLoad(View(), m_server.Url("/second")));
    EXPECT_EQ(Evaluate("document.body.textContent"), "second");

    EXPECT_EQ(Evaluate(R"(
        const frame = document.createElement('iframe');
        document.body.appendChild(frame);
        frame.contentWindow.location.href + ' ' + typeof frame.contentWindow.external.StartGame + ' ' +
            typeof frame.contentWindow.external.OpenWeb)"),
              "about:blank function function");
    Evaluate("external.StartGame('after navigation'); frames[0].external.StartGame('blank frame'); 'sent'");
    Settle();
    std::vector<ReceivedMessage> messages = {{"StartGame", "after navigation"}, {"StartGame", "blank frame"}};
    EXPECT_EQ(m_client->messages, messages);
}

TEST_F(LauncherPageTest, AnUnresolvableHostGivesTheEscapedErrorPage)
{
    // Unescaped, "&lt" in the address would show as "<".
    const std::string url = "http://nohost.invalid/page?x=1&lt=2";
    Open(url);
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.querySelector('h2') !== null") == "true"; }));
    EXPECT_EQ(webkit_web_view_get_uri(View()), url);
    EXPECT_EQ(Evaluate("document.body.getAttribute('bgcolor')"), "white");
    std::string heading = Evaluate("document.querySelector('h2').textContent");
    EXPECT_TRUE(heading.starts_with("Failed to load URL " + url + " with error ")) << heading;
    EXPECT_TRUE(heading.ends_with(" (-105).")) << heading;
}

// The page trusts the downloads' certificate authority (SSL_CERT_FILE here): signed by it, the
// page loads and starts the game; a certificate nobody vouches for gets the error page.
TEST_F(LauncherPageTest, AnHttpsPageUnderTheDownloadsAuthorityReachesExternalAndAnUntrustedOneFails)
{
    TestCertificates::TrustAuthority();
    struct EnvironmentReset {
        ~EnvironmentReset() { unsetenv("SSL_CERT_FILE"); }
    } reset;
    TestServer trusted(TestServer::Https);
    trusted.Route("/", Reply::Page("<p>secure</p>"));
    Open(trusted.Url("/"));
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.body.textContent") == "secure"; }));
    EXPECT_EQ(Evaluate("typeof external.StartGame + ' ' + typeof external.OpenWeb"), "function function");
    Evaluate("external.StartGame('secure')");
    ASSERT_TRUE(RunLoopUntil([&] { return LauncherState().m_strStartParam == L"secure"; }));

    TestServer untrusted(TestServer::HttpsUntrusted);
    untrusted.Route("/", Reply::Page("<p>secure</p>"));
    const std::string url = untrusted.Url("/");
    Open(url);
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.querySelector('h2') !== null") == "true"; }));
    EXPECT_EQ(webkit_web_view_get_uri(View()), url);
    std::string heading = Evaluate("document.querySelector('h2').textContent");
    EXPECT_TRUE(heading.starts_with("Failed to load URL " + url + " with error ")) << heading;
    EXPECT_TRUE(heading.ends_with(" (-207).")) << heading;
    EXPECT_EQ(untrusted.RequestCount("/"), 0u);
}

// WebKitGTK 2.50 ends the web process on it (its own check, before any hook of the extension or
// the view sees the redirect): the launcher's page comes back and works.
TEST_F(LauncherPageTest, AFrameRedirectedToALocalFileEndsTheWebProcessAndThePageComesBack)
{
    TemporaryFolder folder;
    std::filesystem::path local = folder.WriteFile("local.html", "<p>local</p>");
    m_server.Route("/", Reply::Page("<p>game</p>"));
    m_server.Route("/to-file", Reply::Redirect("file://" + local.string()));
    Open(m_server.Url("/"));
    Evaluate("window.marker = 'first document'; const frame = document.createElement('iframe');"
             "frame.src = '/to-file'; document.body.append(frame); 'added'");

    ASSERT_TRUE(RunLoopUntil([&] { return m_server.RequestCount("/") == 2; }));
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.body.textContent") == "game"; }));
    EXPECT_EQ(Evaluate("typeof window.marker"), "undefined");
    Evaluate("external.StartGame('alive')");
    ASSERT_TRUE(RunLoopUntil([&] { return LauncherState().m_strStartParam == L"alive"; }));
}

// Killed for real: the launcher's page is loaded again and works, a few times; then the error page.
TEST_F(LauncherPageTest, APageWhoseWebProcessEndsIsLoadedAgainAFewTimesThenFails)
{
    m_server.Route("/", Reply::Page("<p>game</p>"));
    const std::string url = m_server.Url("/");
    Open(url);
    for (int end = 1; end <= CefViewBrowser::kMaxReloadsAfterTermination + 1; ++end) {
        SCOPED_TRACE("end " + std::to_string(end));
        std::size_t served = m_server.RequestCount("/");
        std::vector<pid_t> processes;
        ASSERT_TRUE(RunLoopUntil([&] { return !(processes = WebProcesses()).empty(); }));
        for (pid_t process : processes)
            kill(process, SIGKILL);
        if (end > CefViewBrowser::kMaxReloadsAfterTermination)
            break;
        ASSERT_TRUE(RunLoopUntil([&] { return m_server.RequestCount("/") > served; }));
        ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.body.textContent") == "game"; }));
        std::wstring parameter = L"reloaded " + std::to_wstring(end);
        Evaluate("external.StartGame('reloaded " + std::to_string(end) + "')");
        ASSERT_TRUE(RunLoopUntil([&] { return LauncherState().m_strStartParam == parameter.c_str(); }));
    }
    ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.querySelector('h2') !== null") == "true"; }));
    EXPECT_EQ(webkit_web_view_get_uri(View()), url);
    std::string heading = Evaluate("document.querySelector('h2').textContent");
    EXPECT_EQ(heading, "Failed to load URL " + url + " with error The web process crashed (-2).");
    EXPECT_EQ(m_server.RequestCount("/"), 1u + CefViewBrowser::kMaxReloadsAfterTermination);
}

TEST_F(LauncherPageTest, ThePagesStartGameEndsTheMainWindowWith102AndALateOneChangesNothing)
{
    m_server.Route("/", Reply::Page("<script>external.StartGame('from the page')</script>"));
    LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/")).c_str();
    CLauncherDlg dialog;
    LauncherState().m_pLauncherDlg = &dialog;
    // A page that never starts the game must not hang the test.
    guint timeout = g_timeout_add_seconds(20, [](gpointer dialog) -> gboolean {
        static_cast<CLauncherDlg*>(dialog)->EndDialog(-20);
        return G_SOURCE_REMOVE;
    }, &dialog);
    int result = dialog.DoModal();
    g_source_remove(timeout);
    EXPECT_EQ(result, IDR_START_GAME);
    EXPECT_EQ(LauncherState().m_strStartParam, L"from the page");

    // Start-up now reads the parameter: a message still on its way must not touch it, even while
    // the game's window would be found.
    ShowGameWindow();
    CefRefPtr<CCefBrowserHandler> client = new CCefBrowserHandler;
    CefRefPtr<CefProcessMessage> late = CefProcessMessage::Create("StartGame");
    late->GetArgumentList()->SetString(0, "late");
    EXPECT_TRUE(client->OnProcessMessageReceived(nullptr, PID_RENDERER, late));
    LauncherState().m_pLauncherDlg = nullptr;

    EXPECT_EQ(LauncherState().m_strStartParam, L"from the page");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

}  // namespace
