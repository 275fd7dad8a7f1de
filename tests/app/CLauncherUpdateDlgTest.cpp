#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CLauncherApp.h"
#include "app/CLauncherUpdateDlg.h"
#include "app/UpdatePercent.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/UniqueDescriptor.h"
#include "res/resource.h"
#include "tests/app/UpdateWindowTestSupport.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "update/CLauncherStateScope.h"
#include "update/CUpdateBaseUrlScope.h"
#include "update/CUpdateManager.h"
#include "update/UpdateAddresses.h"

namespace {

using namespace std::chrono_literals;

const std::wstring kChecking = L"正在检测登陆器版本...";
const std::wstring kUpdating = L"正在更新登录器...";

class ObservedLauncherUpdateDlg : public ObservedUpdateDlg<CLauncherUpdateDlg> {
public:
    using ObservedUpdateDlg::ObservedUpdateDlg;

    // Sends a report as the worker does, on the main thread.
    void Report(ULONGLONG done, ULONGLONG size)
    {
        SendMessage(WM_UPDATE_NOTIFY, UN_PROGRESS, reinterpret_cast<LPARAM>(new UpdateProgressInfo{0, 0, size, done}));
    }
};

std::string List(const std::string& version, const std::string& launcher)
{
    return version + "\n" + launcher + "\nhttps://h/list/\nhttps://h/patch/\nhttps://h/web/index.html\n";
}

// The launcher check deletes and writes the update file beside this program, which the test
// processes that ctest runs side by side share: they take turns.
class UpdatePathTurn {
public:
    UpdatePathTurn() : m_fd(open((WideToUtf8(GetModuleFilePath()) + ".lock").c_str(), O_RDWR | O_CREAT, 0644))
    {
        flock(m_fd.Get(), LOCK_EX);
    }

private:
    UniqueDescriptor m_fd;
};

class LauncherUpdateDlgTest : public ::testing::Test {
protected:
    LauncherUpdateDlgTest()
    {
        TestCertificates::TrustAuthority();
    }
    ~LauncherUpdateDlgTest() override { std::filesystem::remove(updatePath); }

    void ServeList(Reply reply) { server.Route("/zorv/patch_v3/LauncherUpdate.txt", std::move(reply)); }

    CLauncherState state;
    CLauncherStateScope stateScope{state};
    UpdatePathTurn turn;
    TemporaryFolder folder;
    BoxRecorder boxes;
    TestServer server{TestServer::Https};
    std::wstring baseUrl = server.WideUrl(L"/zorv/patch_v3/");
    CUpdateBaseUrlScope baseUrlScope{baseUrl.c_str()};
    const std::filesystem::path updatePath = WideToUtf8(LauncherUpdatePath(GetModuleFilePath()).str());
    // Last, so that its destructor waits for the worker while the server still answers.
    CUpdateManager manager;
    ObservedLauncherUpdateDlg dialog{&manager};
};

TEST_F(LauncherUpdateDlgTest, ACurrentLauncherEndsWith101FromTheCentreOfTheScreen)
{
    // The head lasts about three seconds, a line at a time: the checks below run while it arrives.
    ServeList(Reply::Body(List("0.0.0.6", "https://h/new.exe")).TrickleHeaders(250ms, 10));
    const int result = RunModal(dialog, [&] {
        const POINT centre = CentreOfWorkArea(461, 210);
        const POINT origin = ScreenOrigin(dialog.m_hWnd);
        EXPECT_EQ(origin.x, centre.x);
        EXPECT_EQ(origin.y, centre.y);
        GtkWindow* window = TopLevelOf(dialog.m_hWnd);
        EXPECT_STREQ(gtk_window_get_title(window), "Zorv大战登陆器");
        GList* icons = gtk_window_get_icon_list(window);
        EXPECT_EQ(g_list_length(icons), 3u);
        g_list_free(icons);

        EXPECT_EQ(dialog.m_txtStatus.m_strText, kChecking.c_str());
        EXPECT_EQ(dialog.m_txtTotal.m_strText, L"0%");
        EXPECT_EQ(dialog.m_txtFile.m_strText, L"0%");
        WindowPicture picture(dialog.m_hWnd);
        EXPECT_EQ(picture.Width(), 461);
        EXPECT_EQ(picture.Height(), 210);
        // Both bars empty on their tracks, the labels' backgrounds right of their texts.
        EXPECT_TRUE(ShowsBitmap(picture, 43, 107, dialog.m_progTotal.m_bmpTrack, 0, 0, 317, 19));
        EXPECT_TRUE(ShowsBitmap(picture, 43, 137, dialog.m_progFile.m_bmpTrack, 0, 0, 317, 19));
        EXPECT_TRUE(ShowsBitmap(picture, 368 + 30, 111, dialog.m_txtTotal.m_bmpBkgnd, 30, 0, 20, 16));
        EXPECT_TRUE(ShowsBitmap(picture, 368 + 30, 141, dialog.m_txtFile.m_bmpBkgnd, 30, 0, 20, 16));
        EXPECT_TRUE(ShowsBitmap(picture, 145 + 150, 164, dialog.m_txtStatus.m_bmpBkgnd, 150, 0, 20, 16));
        EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }));
    });
    EXPECT_EQ(result, IDR_LAUNCHER_CURRENT);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].code, UN_LAUNCHER_CURRENT);
    EXPECT_EQ(dialog.shown[0].status, kChecking);
    EXPECT_EQ(dialog.shown[0].upper, 0);
    EXPECT_EQ(dialog.shown[0].lowerText, L"0%");
}

TEST_F(LauncherUpdateDlgTest, ANewLauncherIsShownWhileItComesThenStartedAndTheWindowCloses)
{
    std::string launcher = "#!/bin/sh\necho started > started.txt\n#";
    launcher += std::string(100'000, 'x') + "\n";
    ServeList(Reply::Body(List("0.0.0.7", server.Url("/new.exe"))));
    server.Route("/new.exe", Reply::Body(launcher).StallAfter(50'000, 300ms));

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    ASSERT_GE(dialog.shown.size(), 3u);
    EXPECT_EQ(dialog.shown.front().code, UN_LAUNCHER_UPDATING);
    EXPECT_EQ(dialog.shown.front().status, kUpdating);
    EXPECT_EQ(dialog.shown.back().code, UN_LAUNCHER_DOWNLOADED);
    int reports = 0;
    for (const Shown& shown : dialog.shown) {
        if (shown.code != UN_PROGRESS)
            continue;
        ++reports;
        const int percent = IntegerPercent(shown.report.nFileDone, shown.report.nFileSize);
        EXPECT_EQ(shown.upper, percent);
        EXPECT_EQ(shown.lower, percent);
        EXPECT_EQ(shown.upperText, std::to_wstring(percent) + L"%");
        EXPECT_EQ(shown.lowerText, shown.upperText);
        EXPECT_EQ(shown.status, kUpdating);
    }
    EXPECT_GE(reports, 1);

    std::ifstream stored(updatePath, std::ios::binary);
    std::stringstream bytes;
    bytes << stored.rdbuf();
    EXPECT_EQ(bytes.str(), launcher);
    // Started in the current directory, where it leaves its mark.
    EXPECT_TRUE(RunLoopUntil([&] { return std::filesystem::exists(folder.Path() / "started.txt"); }, 5s));
}

TEST_F(LauncherUpdateDlgTest, AFailedCheckClosesTheWindow)
{
    ServeList(Reply::Status(404));
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_FALSE(dialog.shown.empty());
    EXPECT_EQ(dialog.shown.back().code, UN_FAILED);
    EXPECT_EQ(dialog.shown.back().status, kChecking);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(LauncherUpdateDlgTest, EscDuringTheCheckEndsTheRunAtOnce)
{
    ServeList(Reply::Body(List("0.0.0.6", "https://h/new.exe")).StallBeforeHeaders(2000ms));
    std::chrono::steady_clock::time_point pressed;
    const int result = RunModal(dialog, [&] {
        pressed = std::chrono::steady_clock::now();
        PressKey(dialog.m_hWnd, "Escape");
        EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }, 500ms));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, 1000ms);
    EXPECT_TRUE(dialog.shown.empty());
}

TEST_F(LauncherUpdateDlgTest, TheLabelsAreInkedInTheirColourInPlaceAndTheStatusRepaintsWhenTheUpdateBegins)
{
    ServeList(EndlessListHead());
    const int result = RunModal(dialog, [&] {
        ExpectStatusRepaintedInPlace(dialog, UN_LAUNCHER_UPDATING, 0, kUpdating);
        dialog.EndDialog(7);
    });
    EXPECT_EQ(result, 7);
}

TEST_F(LauncherUpdateDlgTest, BarsRepaintOnlyWhenTheirValueChangesAndOtherCodesChangeNothing)
{
    ServeList(EndlessListHead());
    const int result = RunModal(dialog, [&] {
        struct Case {
            ULONGLONG done;
            ULONGLONG size;
            int percent;
            bool barsRepaint;
        };
        const Case cases[] = {
            {0, 100, 0, false},  // equal to the starting position
            {37, 100, 37, true},
            {37, 100, 37, false},
            {100, 100, 100, true},
            // The product is formed without overflow.
            {99'000'000, 100'000'000, 99, true},
            {0, 0, 100, true},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.size));
            UpdateWindowPaints paints(dialog.m_progTotal, dialog.m_progFile, dialog.m_txtTotal, dialog.m_txtFile);
            dialog.Report(c.done, c.size);
            ASSERT_TRUE(paints.WaitForLabels());
            EXPECT_EQ(paints.upperBar.Count() > 0, c.barsRepaint);
            EXPECT_EQ(paints.lowerBar.Count() > 0, c.barsRepaint);
            EXPECT_EQ(dialog.m_progTotal.m_nPos, c.percent);
            EXPECT_EQ(dialog.m_progFile.m_nPos, c.percent);
            EXPECT_EQ(dialog.m_txtTotal.m_strText, (std::to_wstring(c.percent) + L"%").c_str());
            EXPECT_EQ(dialog.m_txtFile.m_strText, dialog.m_txtTotal.m_strText);
        }
        dialog.SendMessage(WM_UPDATE_NOTIFY, UN_FILE_SUMMARY, reinterpret_cast<LPARAM>(new UpdateSummaryInfo{2, 9}));
        for (WPARAM code : {WPARAM{UN_FILES_DONE}, WPARAM{0}, WPARAM{8}})
            dialog.SendMessage(WM_UPDATE_NOTIFY, code, 0);
        EXPECT_TRUE(dialog.IsModalRunning());
        EXPECT_EQ(dialog.m_txtStatus.m_strText, kChecking.c_str());
        EXPECT_EQ(dialog.m_progTotal.m_nPos, 100);
        dialog.EndDialog(7);
    });
    EXPECT_EQ(result, 7);
}


TEST_F(LauncherUpdateDlgTest, AWorkerThatCannotStartClosesTheWindow)
{
    ServeList(Reply::Body(List("0.0.0.6", "https://h/new.exe")));
    RefusedThreadStarts refused;
    // Ended with -2 by RunModal if it were still open.
    const int result = RunModal(dialog, [&] { RunLoopUntil([&] { return !dialog.IsModalRunning(); }, 3s); });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].code, UN_FAILED);
    EXPECT_EQ(UpdateTestAccess::Thread(manager), nullptr);
    EXPECT_EQ(server.RequestCount("/zorv/patch_v3/LauncherUpdate.txt"), 0u);
}

}  // namespace
