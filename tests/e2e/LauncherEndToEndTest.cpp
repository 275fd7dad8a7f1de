// The built launcher, run as a player runs it: its list and patch files come from an HTTPS server
// on the compiled-in address, its page from another HTTPS server under the same test authority,
// its home folder is thrown away after each case, and the test clicks and presses keys in its
// real windows.
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/ChildProcess.h"
#include "tests/e2e/DesktopWindows.h"
#include "tests/e2e/DisplayConnection.h"
#include "tests/platform/win/DesktopRecorder.h"
#include "tests/support/ReadAll.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kLauncherTitle = "Zorv大战登陆器";
const std::string kGameTitle = "Zorv Battle";
// The page's start button and the main window's close button, in window points.
constexpr int kStartX = 948, kStartY = 572;
constexpr int kCloseX = 1116, kCloseY = 211;

// The port of the compiled-in list address "https://127.0.0.1:PORT/zorv/patch_v3/".
int UpdatePort()
{
    std::string address = ZORV_UPDATE_BASE_URL;
    std::size_t hostEnd = address.find('/', std::string("https://").size());
    std::size_t colon = address.rfind(':', hostEnd);
    return std::stoi(address.substr(colon + 1, hostEnd - colon - 1));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Md5(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

// A line of the client file list and the file the patch server holds for it.
struct ListedFile {
    std::string listedPath;  // as the list names it, with backslashes
    std::string servedPath;  // below /zorv/patch/ on the server; empty: the server has no file
    std::string content;
};

class LauncherEndToEndTest : public ::testing::Test {
protected:
    LauncherEndToEndTest()
    {
        TestCertificates::TrustAuthority();
        if (!m_display.Connected())
            throw std::runtime_error("no X display: run the test under xvfb-run");
        for (const char* folder : {"Documents", ".config", ".cache", ".local/share"})
            fs::create_directories(m_home / folder);
        m_updates.ServeFolder("/zorv/patch/", m_site / "patch");
        m_pages.ServeFolder("/zorv/web/", ZORV_PAGE_FOLDER);
        m_pages.Route(kPagePath, DrawnPage(ReadAll(fs::path(ZORV_PAGE_FOLDER) / "index.html")));
        m_pages.Route(kDrawnPath, Reply::Body(""));
    }

    // The page, which asks for kDrawnPath once its first frame has been drawn: the second
    // animation frame comes after the first one was painted.
    static Reply DrawnPage(std::string html)
    {
        const std::string beacon =
            "<script>requestAnimationFrame(() => requestAnimationFrame(() => fetch('" + std::string(kDrawnPath) +
            "')))</script>";
        const std::size_t end = html.rfind("</body>");
        html.insert(end == std::string::npos ? html.size() : end, beacon);
        return Reply::Page(std::move(html));
    }

    ~LauncherEndToEndTest() override
    {
        m_launcher.reset();
        // A game the launcher started closes itself; the next case must not find its window.
        WaitUntil([] { return DesktopWindows::Titled(kGameTitle).empty(); }, 15s);
    }

    void ListLauncher(const std::string& version, const std::string& page = kPagePath)
    {
        std::string list = version + "\r\n" + m_updates.Url("/zorv/patch_v3/ZorvLauncher.exe") + "\r\n" +
                           m_updates.Url("/zorv/filelist/") + "\r\n" + m_updates.Url("/zorv/patch/") + "\r\n" +
                           m_pages.Url(page) + "\r\n";
        m_updates.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Body(list));
    }

    // pauseAfterFirstLine: the list's first line goes out at once, the rest after that pause.
    void ListFiles(const std::vector<ListedFile>& files, std::chrono::milliseconds pauseAfterFirstLine = 0ms)
    {
        std::string list;
        for (const ListedFile& file : files) {
            list += file.listedPath + "\t12\t" + Md5(file.content) + "\t" + std::to_string(file.content.size()) + "\r\n";
            if (!file.servedPath.empty()) {
                fs::path served = m_site / "patch" / file.servedPath;
                fs::create_directories(served.parent_path());
                std::ofstream(served, std::ios::binary) << file.content;
            }
        }
        Reply reply = Reply::Body(list);
        if (pauseAfterFirstLine > 0ms)
            reply.StallAfter(list.find('\n') + 1, pauseAfterFirstLine);
        m_updates.Route(kFileListPath, reply);
    }

    std::vector<std::string> Environment(const std::vector<std::string>& extra) const
    {
        const std::vector<std::string> replaced = {"HOME=", "XDG_CONFIG_HOME=", "XDG_CACHE_HOME=", "XDG_DATA_HOME=",
                                                   "CURL_CA_BUNDLE=", "ZORV_GAME_RECORD=", "ZORV_GAME_SECONDS=",
                                                   "ZORV_GAME_DIGEST="};
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            std::string text = *entry;
            bool keep = true;
            for (const std::string& prefix : replaced)
                keep = keep && text.rfind(prefix, 0) != 0;
            if (keep)
                environment.push_back(text);
        }
        environment.push_back("HOME=" + m_home.string());
        environment.push_back("XDG_CONFIG_HOME=" + (m_home / ".config").string());
        environment.push_back("XDG_CACHE_HOME=" + (m_home / ".cache").string());
        environment.push_back("XDG_DATA_HOME=" + (m_home / ".local/share").string());
        environment.insert(environment.end(), extra.begin(), extra.end());
        return environment;
    }

    void StartLauncher(const std::vector<std::string>& arguments = {}, const fs::path& executable = ZORV_LAUNCHER)
    {
        m_launcher = NewLauncher(arguments, executable);
    }
    std::unique_ptr<ChildProcess> NewLauncher(const std::vector<std::string>& arguments = {},
                                              const fs::path& executable = ZORV_LAUNCHER) const
    {
        std::vector<std::string> command = {executable.string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return std::make_unique<ChildProcess>(
            command, Environment({"ZORV_GAME_RECORD=" + m_gameRecord.string(), "ZORV_GAME_SECONDS=3"}));
    }
    // A launcher whose game writes its record to gameRecord and digests the file digested (a
    // path in the game folder) at its start.
    std::unique_ptr<ChildProcess> NewLauncherWhoseGameDigests(const fs::path& gameRecord, const std::string& digested) const
    {
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{ZORV_LAUNCHER},
            Environment({"ZORV_GAME_RECORD=" + gameRecord.string(), "ZORV_GAME_SECONDS=3", "ZORV_GAME_DIGEST=" + digested}));
    }

    // The list files ("_filelist...") in the game folder.
    std::vector<std::string> ListFilesLeft() const
    {
        std::vector<std::string> left;
        std::error_code missing;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_gameFolder, missing)) {
            if (entry.path().filename().string().starts_with("_filelist"))
                left.push_back(entry.path().filename().string());
        }
        return left;
    }

    // Starts the launcher and presses the page's start button until the main window has gone.
    void StartClientUpdate()
    {
        std::size_t drawn = m_pages.RequestCount(kDrawnPath);
        StartLauncher();
        std::string window = WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << "no main window";
        WaitForPages(drawn + 1);
        ASSERT_TRUE(ClickUntil(window, kStartX, kStartY, [] { return MainWindow().empty(); }));
    }

    // The launchers' visible 1200x700 windows.
    static std::vector<std::string> MainWindows()
    {
        std::vector<std::string> windows;
        for (const std::string& window : DesktopWindows::Titled(kLauncherTitle)) {
            if (DesktopWindows::SizeOf(window).width == 1200)
                windows.push_back(window);
        }
        return windows;
    }
    // The launcher's visible 1200x700 window, or an empty text.
    static std::string MainWindow()
    {
        std::vector<std::string> windows = MainWindows();
        return windows.empty() ? std::string() : windows.front();
    }

    std::string WaitForMainWindow()
    {
        std::string window;
        WaitUntil([&] { return !(window = MainWindow()).empty() || !m_launcher->Running(); }, 60s);
        return window;
    }

    // Waits for the pages to have been drawn (each asks for kDrawnPath then), so that a click
    // reaches the start button.
    void WaitForPages(std::size_t count = 1)
    {
        EXPECT_TRUE(WaitUntil([&] { return m_pages.RequestCount(kDrawnPath) >= count; }, 30s));
    }

    // Clicks the point every second until done() holds; false when it never does within 30 tries.
    static bool ClickUntil(const std::string& window, int x, int y, const std::function<bool()>& done)
    {
        for (int attempt = 0; attempt < 30; ++attempt) {
            DesktopWindows::Click(window, x, y);
            if (WaitUntil(done, 1s))
                return true;
        }
        return false;
    }

    // Waits for the launcher to end, pressing Return on every box titled boxTitle on the way and
    // noting whether the main window showed. The number of boxes closed, or -1 on a time-out.
    int CloseBoxesUntilExit(const std::string& boxTitle, bool& mainWindowSeen)
    {
        int closed = 0;
        bool ended = WaitUntil(
            [&] {
                mainWindowSeen = mainWindowSeen || !MainWindow().empty();
                for (const std::string& box : DesktopWindows::Titled(boxTitle)) {
                    DesktopWindows::Press(box, "Return");
                    ++closed;
                }
                return !m_launcher->Running();
            },
            60s);
        return ended ? closed : -1;
    }

    static constexpr const char* kFileListPath = "/zorv/filelist/ExecutableFileList.txt";
    static constexpr const char* kPagePath = "/zorv/web/index.html";
    static constexpr const char* kDrawnPath = "/zorv/web/drawn";

    DisplayConnection m_display;
    TemporaryFolder m_folder;
    fs::path m_home = m_folder.Path() / "home";
    fs::path m_gameFolder = m_home / "Documents" / "vrex_lom";
    fs::path m_site = m_folder.Path() / "site";
    fs::path m_gameRecord = m_folder.Path() / "game-arguments.txt";
    TestServer m_updates{TestServer::Https, UpdatePort()};
    TestServer m_pages{TestServer::Https};
    std::unique_ptr<ChildProcess> m_launcher;
};

TEST_F(LauncherEndToEndTest, UpdatesTheClientAndStartsTheGameWithThePagesParameter)
{
    const std::string game = ReadAll(ZORV_STAND_IN_GAME);
    const std::string readme = "The README, already current.\n";
    ListLauncher("0.0.0.6");
    ListFiles({
        {"..\\Zorv.exe", "12/Zorv.exe", game},
        {"readme.txt", "12/Zorv_Data/readme.txt", readme},
        {"bin\\game$config.ini", "12/Zorv_Data/bin/game$config.ini", "[video]\r\nwidth=1200\r\n"},
        {"..\\DataSource\\maps\\arena.pak", "12/DataSource/maps/arena.pak", std::string(300000, 'p')},
    });
    fs::create_directories(m_gameFolder / "Zorv_Data");
    std::ofstream(m_gameFolder / "Zorv_Data" / "readme.txt", std::ios::binary) << readme;

    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    WaitForPages();
    DesktopWindows::Screenshot(ZORV_SCREENSHOT);
    EXPECT_TRUE(ClickUntil(window, kStartX, kStartY, [] { return MainWindow().empty(); }));

    EXPECT_EQ(m_launcher->WaitForExit(60s), 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(m_gameRecord); }, 15s)) << "the game did not start";
    std::string launcherFolder = fs::canonical(ZORV_LAUNCHER).parent_path().string() + "/";
    std::vector<std::string> expected = {"demo-session-42", launcherFolder};
    EXPECT_EQ(Lines(ReadAll(m_gameRecord)), expected);
    EXPECT_TRUE(WaitUntil([] { return !DesktopWindows::Titled(kGameTitle).empty(); }, 15s)) << "no game window";

    EXPECT_EQ(ReadAll(m_gameFolder / "Zorv.exe"), game);
    EXPECT_EQ(ReadAll(m_gameFolder / "Zorv_Data" / "bin" / "game config.ini"), "[video]\r\nwidth=1200\r\n");
    EXPECT_EQ(ReadAll(m_gameFolder / "Data" / "maps" / "arena.pak"), std::string(300000, 'p'));
    for (const fs::directory_entry& entry : fs::directory_iterator(m_gameFolder))
        EXPECT_FALSE(entry.path().filename().string().starts_with("_filelist")) << "left behind: " << entry.path();
    EXPECT_EQ(m_updates.RequestCount("/zorv/patch/12/Zorv_Data/readme.txt"), 0u) << "a current file was fetched";
}

TEST_F(LauncherEndToEndTest, TheCloseButtonEndsTheLauncherWithoutUpdateOrGame)
{
    ListLauncher("0.0.0.6");
    ListFiles({});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";

    EXPECT_TRUE(ClickUntil(window, kCloseX, kCloseY, [&] { return !m_launcher->Running(); }));
    EXPECT_EQ(m_launcher->WaitForExit(10s), 0);
    EXPECT_EQ(m_updates.RequestCount(kFileListPath), 0u);
    EXPECT_FALSE(fs::exists(m_gameRecord));
}

TEST_F(LauncherEndToEndTest, AListThatCannotBeFetchedShowsTheBoxAndEnds)
{
    m_updates.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Body("not here", 404));
    StartLauncher();

    bool mainWindowSeen = false;
    EXPECT_GE(CloseBoxesUntilExit("OpenURL Exception", mainWindowSeen), 1);
    EXPECT_FALSE(mainWindowSeen);
    EXPECT_EQ(m_updates.RequestCount("/zorv/patch_v3/LauncherUpdate.txt"), 1u) << "a 404 is not retried";
}

TEST_F(LauncherEndToEndTest, AFileInPlaceOfTheGameFolderLeavesTheLauncherInItsStartFolder)
{
    std::ofstream(m_gameFolder) << "not a folder";
    ListLauncher("0.0.0.6");
    ListFiles({});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(m_launcher->Pid()) + "/cwd"), fs::current_path());
    EXPECT_EQ(ReadAll(m_gameFolder), "not a folder");

    EXPECT_TRUE(ClickUntil(window, kCloseX, kCloseY, [&] { return !m_launcher->Running(); }));
    EXPECT_EQ(m_launcher->WaitForExit(10s), 0);
}

TEST_F(LauncherEndToEndTest, ADifferentVersionFetchesAndStartsTheNewLauncherIfItIsAProgram)
{
    struct Case {
        const char* name;
        const char* start;  // of the new launcher, before its command that leaves the mark
        bool runs;
    };
    for (const Case& c : {Case{"a script", "#!/bin/sh\n", true}, Case{"a text without \"#!\"", "", false}}) {
        SCOPED_TRACE(c.name);
        // A copy of the launcher, so that the new one lands beside the copy and not in the build.
        fs::path folder = m_folder.Path() / (c.runs ? "installed-script" : "installed-text");
        fs::create_directories(folder);
        fs::copy_file(ZORV_LAUNCHER, folder / "ZorvLauncher.exe");
        fs::copy(fs::path(ZORV_LAUNCHER).parent_path() / "web-extension", folder / "web-extension",
                 fs::copy_options::recursive);
        fs::path marker = folder / "new-launcher-ran";
        std::string script = std::string(c.start) + "echo ran > '" + marker.string() + "'\n";
        m_updates.Route("/zorv/patch_v3/ZorvLauncher.exe", Reply::Body(script));
        ListLauncher("0.0.0.7");

        StartLauncher({}, folder / "ZorvLauncher.exe");
        bool mainWindowSeen = false;
        EXPECT_EQ(CloseBoxesUntilExit("OpenURL Exception", mainWindowSeen), 0);
        EXPECT_FALSE(mainWindowSeen);
        EXPECT_EQ(ReadAll(folder / "ZorvLauncher_update.exe"), script);
        // A new launcher that is no program is not started; the launcher has ended all the same.
        EXPECT_EQ(WaitUntil([&] { return fs::exists(marker); }, c.runs ? 15s : 2s), c.runs);
        EXPECT_EQ(m_updates.RequestCount(kFileListPath), 0u);
    }
}

TEST_F(LauncherEndToEndTest, ARendererStartEndsAtOnceWithoutFolderOrWindow)
{
    ListLauncher("0.0.0.6");
    StartLauncher({"--type=renderer"});
    bool windowSeen = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            windowSeen = windowSeen || !DesktopWindows::Titled(kLauncherTitle).empty();
            return !m_launcher->Running();
        },
        10s));
    EXPECT_EQ(m_launcher->WaitForExit(0ms), 0);
    EXPECT_FALSE(windowSeen);
    EXPECT_FALSE(fs::exists(m_gameFolder));
    EXPECT_TRUE(m_updates.Requests().empty());
}

TEST_F(LauncherEndToEndTest, ARunningGameIsWarnedAboutAndTheMainWindowStays)
{
    ChildProcess runningGame({ZORV_STAND_IN_GAME}, Environment({}));
    ASSERT_TRUE(WaitUntil([] { return !DesktopWindows::Titled(kGameTitle).empty(); }, 20s));
    ListLauncher("0.0.0.6");
    ListFiles({});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    WaitForPages();

    EXPECT_TRUE(ClickUntil(window, kStartX, kStartY, [] { return !DesktopWindows::Titled("警告").empty(); }));
    EXPECT_EQ(MainWindow(), window);
    for (const std::string& box : DesktopWindows::Titled("警告"))
        DesktopWindows::Press(box, "Return");
    EXPECT_TRUE(WaitUntil([] { return DesktopWindows::Titled("警告").empty(); }, 10s));

    EXPECT_TRUE(ClickUntil(window, kCloseX, kCloseY, [&] { return !m_launcher->Running(); }));
    EXPECT_EQ(m_updates.RequestCount(kFileListPath), 0u);
    EXPECT_FALSE(fs::exists(m_gameRecord));
}

TEST_F(LauncherEndToEndTest, ThousandsOfStartsWhileTheGameRunsWarnOneAtATime)
{
    ChildProcess runningGame({ZORV_STAND_IN_GAME}, Environment({}));
    ASSERT_TRUE(WaitUntil([] { return !DesktopWindows::Titled(kGameTitle).empty(); }, 20s));
    const std::string page = "/zorv/web/calls.html";
    m_pages.Route(page, DrawnPage("<body style='margin:0;height:100vh' onclick=\""
                                  "for (let i = 0; i < 20000; ++i) external.StartGame('call ' + i)\"></body>"));
    ListLauncher("0.0.0.6", page);
    ListFiles({});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    WaitForPages();

    EXPECT_TRUE(ClickUntil(window, kStartX, kStartY, [] { return !DesktopWindows::Titled("警告").empty(); }));
    // The warnings come one after another: each is closed as it shows, a few in a row, then
    // the main window's close button ends the launcher once the last box is closed.
    std::size_t mostAtOnce = 0;
    int closed = 0;
    auto closeBoxes = [&] {
        std::vector<std::string> boxes = DesktopWindows::Titled("警告");
        mostAtOnce = std::max(mostAtOnce, boxes.size());
        for (const std::string& box : boxes) {
            DesktopWindows::Press(box, "Return");
            ++closed;
        }
    };
    EXPECT_TRUE(WaitUntil(
        [&] {
            closeBoxes();
            return closed >= 5;
        },
        60s));
    EXPECT_EQ(MainWindow(), window);
    EXPECT_TRUE(ClickUntil(window, kCloseX, kCloseY, [&] {
        closeBoxes();
        return !m_launcher->Running();
    }));
    EXPECT_EQ(m_launcher->WaitForExit(10s), 0);
    EXPECT_EQ(mostAtOnce, 1u);
    EXPECT_EQ(m_updates.RequestCount(kFileListPath), 0u);
    EXPECT_FALSE(fs::exists(m_gameRecord));
}

// A page that calls OpenWeb 3000 times in a burst, a burst a second: the desktop's browser (a
// recorder here) is started a few times a second at most, and the close button still ends the
// main window at once.
TEST_F(LauncherEndToEndTest, APageFloodingOpenWebStartsFewBrowsersAndTheCloseButtonAnswersAtOnce)
{
    DesktopRecorder desktop(m_home / ".local/share", m_home / ".config");
    const std::string page = "/zorv/web/flood.html";
    m_pages.Route(page, Reply::Page("<script>function flood() {"
                                    "  for (let i = 0; i < 3000; ++i)"
                                    "    external.OpenWeb('https://127.0.0.1/ad/' + i % 10);"
                                    "}"
                                    "flood(); setInterval(flood, 1000);</script>"));
    ListLauncher("0.0.0.6", page);
    ListFiles({});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    ASSERT_TRUE(WaitUntil([&] { return m_pages.RequestCount(page) > 0; }, 30s));
    const auto served = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !desktop.Starts().empty(); }, 30s)) << "the flood did not begin";
    std::this_thread::sleep_for(3s);

    const auto clicked = std::chrono::steady_clock::now();
    DesktopWindows::Click(window, kCloseX, kCloseY);
    while (m_display.Shows(window) && std::chrono::steady_clock::now() - clicked < 30s)
        std::this_thread::sleep_for(5ms);
    const auto answered = std::chrono::steady_clock::now() - clicked;
    EXPECT_LT(answered, 500ms) << std::chrono::duration_cast<std::chrono::milliseconds>(answered).count() << " ms";
    EXPECT_EQ(m_launcher->WaitForExit(30s), 0);
    const auto flooded =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - served);
    std::this_thread::sleep_for(1s);  // the last recorders write their lines
    const std::size_t starts = desktop.Starts().size();
    EXPECT_LE(starts, 3 * static_cast<std::size_t>(flooded.count() / 1000 + 1))
        << starts << " starts in " << flooded.count() << " ms";
}

TEST_F(LauncherEndToEndTest, AListedFileThatCannotBeFetchedShowsTheBoxAndStartsNoGame)
{
    ListLauncher("0.0.0.6");
    ListFiles({{"..\\Zorv.exe", "12/Zorv.exe", ReadAll(ZORV_STAND_IN_GAME)},
               {"missing.dat", "", "the server has no such file"}});
    StartLauncher();
    std::string window = WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << "no main window";
    WaitForPages();
    EXPECT_TRUE(ClickUntil(window, kStartX, kStartY, [] { return MainWindow().empty(); }));

    bool mainWindowSeen = false;
    EXPECT_GE(CloseBoxesUntilExit("OpenURL Exception", mainWindowSeen), 1);
    EXPECT_EQ(m_updates.RequestCount("/zorv/patch/12/Zorv_Data/missing.dat"), 1u);
    EXPECT_FALSE(fs::exists(m_gameRecord));
}

TEST_F(LauncherEndToEndTest, AGameThatLinksOutOfTheGameFolderKeepsItsTargetsMode)
{
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"a player's text", "notes of a player\n"},
        {"a program", ReadAll(ZORV_STAND_IN_GAME)},
    };
    fs::create_directories(m_gameFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path target = m_home / "elsewhere.txt";
        std::ofstream(target, std::ios::binary | std::ios::trunc) << c.content;
        fs::permissions(target, fs::perms(0644));
        fs::remove(m_gameFolder / "Zorv.exe");
        fs::create_symlink(target, m_gameFolder / "Zorv.exe");
        ListLauncher("0.0.0.6");
        ListFiles({});
        StartClientUpdate();

        EXPECT_EQ(m_launcher->WaitForExit(60s), 0);
        EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));
        EXPECT_FALSE(WaitUntil([&] { return fs::exists(m_gameRecord); }, 3s)) << "the game started";
    }
}

TEST_F(LauncherEndToEndTest, EscEndsTheLauncherWhileTheListTrickles)
{
    struct Case {
        const char* name;
        Reply list;
    } cases[] = {
        {"header lines one a second", Reply::Body("0.0.0.6\r\n").TrickleHeaders(1s, 30)},
        {"a list line a byte a second", Reply::Body(std::string(5000, 'v')).TrickleBody(1s)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_updates.Route("/zorv/patch_v3/LauncherUpdate.txt", c.list);
        std::size_t requestsBefore = m_updates.RequestCount("/zorv/patch_v3/LauncherUpdate.txt");
        StartLauncher();
        std::vector<std::string> windows;
        ASSERT_TRUE(WaitUntil([&] { return !(windows = DesktopWindows::Titled(kLauncherTitle)).empty(); }, 30s));
        ASSERT_TRUE(WaitUntil([&] { return m_updates.RequestCount("/zorv/patch_v3/LauncherUpdate.txt") > requestsBefore; }, 30s));
        std::this_thread::sleep_for(1s);  // a trickled step arrives meanwhile; the launcher keeps waiting
        ASSERT_TRUE(m_launcher->Running());
        DesktopWindows::Press(windows.front(), "Escape");
        auto pressed = std::chrono::steady_clock::now();
        EXPECT_TRUE(m_launcher->WaitForExit(5s).has_value()) << "still running 5 s after Esc";
        EXPECT_LT(std::chrono::steady_clock::now() - pressed, 5s);
        EXPECT_TRUE(DesktopWindows::Titled("OpenURL Exception").empty());
        m_launcher.reset();
    }
}

TEST_F(LauncherEndToEndTest, ASecondLauncherWaitsForTheFirstsClientUpdateAndRewritesNoFileOfItsGame)
{
    // A 4 MiB file that the games digest at their start, served at about 640 KB/s: the second
    // launcher's update is started while the first one fetches it, halfway through.
    std::string data;
    for (int i = 0; data.size() < (4u << 20); ++i)
        data += std::to_string(i) + "\n";
    const std::string dataPath = "/zorv/patch/12/Zorv_Data/big.dat";
    ListLauncher("0.0.0.6");
    ListFiles({{"..\\Zorv.exe", "12/Zorv.exe", ReadAll(ZORV_STAND_IN_GAME)}, {"big.dat", "", data}});
    // A second fetch, were there one, would go slower, so that the first game would read a file
    // that the second launcher is still rewriting.
    m_updates.Route(dataPath, {Reply::Body(data).TrickleBody(100ms, 64 * 1024), Reply::Body(data).TrickleBody(100ms, 16 * 1024)});
    const fs::path records[] = {m_folder.Path() / "game-a.txt", m_folder.Path() / "game-b.txt"};
    m_launcher = NewLauncherWhoseGameDigests(records[0], "Zorv_Data/big.dat");
    std::unique_ptr<ChildProcess> second = NewLauncherWhoseGameDigests(records[1], "Zorv_Data/big.dat");
    ASSERT_TRUE(WaitUntil([] { return MainWindows().size() == 2; }, 60s)) << "not both main windows";
    // Apart, so that neither covers the other's start button, and both buttons away from the
    // middle of the screen, where the client update windows open.
    std::vector<std::string> windows = MainWindows();
    DesktopWindows::Move(windows[0], -400, -300);
    DesktopWindows::Move(windows[1], 400, 300);
    WaitForPages(2);

    auto gone = [](const std::string& window) {
        return [window] {
            std::vector<std::string> left = MainWindows();
            return std::find(left.begin(), left.end(), window) == left.end();
        };
    };
    EXPECT_TRUE(ClickUntil(windows[0], kStartX, kStartY, gone(windows[0])));
    // Halfway through the file, about 3 s before its end.
    ASSERT_TRUE(WaitUntil([&] { return m_updates.BodyBytesSent() >= data.size() / 2; }, 30s));
    EXPECT_TRUE(ClickUntil(windows[1], kStartX, kStartY, gone(windows[1])));
    EXPECT_EQ(m_launcher->WaitForExit(60s), 0);
    EXPECT_EQ(second->WaitForExit(60s), 0);

    // Both games read the whole file as listed; the second launcher only verified it.
    for (const fs::path& record : records) {
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(record) && Lines(ReadAll(record)).size() == 3; }, 15s))
            << "no game started for " << record;
        EXPECT_EQ(Lines(ReadAll(record))[2], Md5(data)) << record;
    }
    EXPECT_EQ(m_updates.RequestCount(dataPath), 1u) << "the second launcher fetched the file again";
    EXPECT_EQ(m_updates.RequestCount("/zorv/patch/12/Zorv.exe"), 1u);
    EXPECT_EQ(m_updates.RequestCount(kFileListPath), 2u);
    EXPECT_EQ(ListFilesLeft(), std::vector<std::string>{});
}

TEST_F(LauncherEndToEndTest, TheListFilesOfKilledLaunchersAreRemovedByTheNextRun)
{
    ListLauncher("0.0.0.6");
    // A list that trickles for minutes: each launcher is killed while it arrives.
    m_updates.Route(kFileListPath, Reply::Body(std::string(4 << 20, 'x')).TrickleBody(100ms, 1024));
    std::vector<std::string> killedRunsList;
    for (int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        std::size_t requestsBefore = m_updates.RequestCount(kFileListPath);
        StartClientUpdate();
        ASSERT_TRUE(WaitUntil([&] { return m_updates.RequestCount(kFileListPath) > requestsBefore; }, 30s));
        // This run's own list file only: the one an earlier killed run left went when it began.
        std::vector<std::string> lists = ListFilesLeft();
        ASSERT_EQ(lists.size(), 1u);
        EXPECT_NE(lists, killedRunsList);
        // Killed once a step of the list has reached it.
        const std::uint64_t sent = m_updates.BodyBytesSent();
        ASSERT_TRUE(WaitUntil([&] { return m_updates.BodyBytesSent() > sent; }, 10s));
        m_launcher->Signal(signal);
        EXPECT_EQ(m_launcher->WaitForExit(10s), 128 + signal);
        EXPECT_EQ(ListFilesLeft(), lists) << "the killed run's list file is gone by itself";
        killedRunsList = lists;
    }
    std::ofstream(m_gameFolder / "_filelist.txt") << "an older launcher's list\n";
    ASSERT_EQ(ListFilesLeft().size(), 2u);

    ListFiles({{"..\\Zorv.exe", "12/Zorv.exe", ReadAll(ZORV_STAND_IN_GAME)}});
    StartClientUpdate();
    EXPECT_EQ(m_launcher->WaitForExit(60s), 0);
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(m_gameRecord); }, 15s)) << "the game did not start";
    EXPECT_EQ(ListFilesLeft(), std::vector<std::string>{});
}

TEST_F(LauncherEndToEndTest, AGameFolderThatRefusesWritesShowsTheListFilesBoxThenStartsTheGame)
{
    fs::create_directories(m_gameFolder);
    fs::copy_file(ZORV_STAND_IN_GAME, m_gameFolder / "Zorv.exe");
    ReadOnlyMount readOnly(m_gameFolder);
    if (!readOnly.Mounted())
        GTEST_SKIP() << "mounting is not permitted here";
    ListLauncher("0.0.0.6");
    ListFiles({{"missing.dat", "12/Zorv_Data/missing.dat", "a file the folder cannot take"}});
    StartClientUpdate();

    bool mainWindowSeen = false;
    EXPECT_EQ(CloseBoxesUntilExit("OpenFile Exception", mainWindowSeen), 1);
    EXPECT_EQ(m_launcher->WaitForExit(0ms), 0);
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(m_gameRecord); }, 15s)) << "the game did not start";
    EXPECT_EQ(m_updates.RequestCount(kFileListPath), 0u);
    EXPECT_EQ(m_updates.RequestCount("/zorv/patch/12/Zorv_Data/missing.dat"), 0u);
}

}  // namespace
