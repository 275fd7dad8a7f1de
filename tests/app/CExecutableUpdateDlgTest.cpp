#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CExecutableUpdateDlg.h"
#include "app/CLauncherApp.h"
#include "app/UpdatePercent.h"
#include "platform/win/FolderLock.h"
#include "tests/app/UpdateWindowTestSupport.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "update/CUpdateManager.h"

namespace {

using namespace std::chrono_literals;

const std::wstring kChecking = L"正在检测客户端版本...";
const std::wstring kUpdating = L"正在更新客户端...";
const std::wstring kDone = L"更新完成，即将启动游戏";
constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

class ObservedExecutableUpdateDlg : public ObservedUpdateDlg<CExecutableUpdateDlg> {
public:
    using ObservedUpdateDlg::ObservedUpdateDlg;

    void Report(ULONGLONG totalDone, ULONGLONG totalSize, ULONGLONG fileDone, ULONGLONG fileSize)
    {
        SendMessage(WM_UPDATE_NOTIFY, UN_PROGRESS,
                    reinterpret_cast<LPARAM>(new UpdateProgressInfo{totalSize, totalDone, fileSize, fileDone}));
    }
};

class ExecutableUpdateDlgTest : public ::testing::Test {
protected:
    ExecutableUpdateDlgTest()
    {
        TestCertificates::TrustAuthority();
        UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");
        UpdateTestAccess::PatchUrl(manager) = server.WideUrl(L"/patch/");
    }

    void ServeList(Reply reply) { server.Route("/list/ExecutableFileList.txt", std::move(reply)); }

    std::vector<WPARAM> Codes() const
    {
        std::vector<WPARAM> codes;
        for (const Shown& shown : dialog.shown)
            if (shown.code != UN_PROGRESS)
                codes.push_back(shown.code);
        return codes;
    }

    TemporaryFolder folder;
    BoxRecorder boxes;
    TestServer server{TestServer::Https};
    CUpdateManager manager;
    ObservedExecutableUpdateDlg dialog{&manager};
};

TEST_F(ExecutableUpdateDlgTest, NothingToFetchEndsWith103AfterTheThreeStages)
{
    // The head lasts about three seconds, a line at a time: the checks below run while it arrives.
    ServeList(Reply::Body("").TrickleHeaders(250ms, 10));
    const int result = RunModal(dialog, [&] {
        const POINT centre = CentreOfWorkArea(461, 210);
        const POINT origin = ScreenOrigin(dialog.m_hWnd);
        EXPECT_EQ(origin.x, centre.x);
        EXPECT_EQ(origin.y, centre.y);
        EXPECT_STREQ(gtk_window_get_title(TopLevelOf(dialog.m_hWnd)), "Zorv大战登陆器");
        // No byte progress while the list is fetched.
        EXPECT_FALSE(UpdateTestAccess::ReportProgress(manager));
        EXPECT_EQ(dialog.m_txtStatus.m_strText, kChecking.c_str());
        EXPECT_EQ(dialog.m_txtTotal.m_strText, L"0%");
        WindowPicture picture(dialog.m_hWnd);
        EXPECT_TRUE(ShowsBitmap(picture, 43, 107, dialog.m_progTotal.m_bmpTrack, 0, 0, 317, 19));
        EXPECT_TRUE(ShowsBitmap(picture, 43, 137, dialog.m_progFile.m_bmpTrack, 0, 0, 317, 19));
        EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }));
    });
    EXPECT_EQ(result, IDR_FILES_CURRENT);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    EXPECT_TRUE(UpdateTestAccess::ReportProgress(manager));
    EXPECT_EQ(dialog.shown[0].status, kUpdating);
    EXPECT_EQ(dialog.shown[0].upper, 0);
    const Shown& done = dialog.shown.back();
    EXPECT_EQ(done.status, kDone);
    EXPECT_EQ(done.upper, 100);
    EXPECT_EQ(done.lower, 100);
    EXPECT_EQ(done.upperText, L"100%");
    EXPECT_EQ(done.lowerText, L"100%");
}

TEST_F(ExecutableUpdateDlgTest, FilesAreFetchedShowingTheTotalAboveAndTheFileBelow)
{
    const std::string first(40'000, 'a');
    const std::string second(60'000, 'b');
    ServeList(Reply::Body(std::string("a.dat\t3\t") + kEmptyDigest + "\t40000\r\n" + "sub\\b.dat\t3\t" + kEmptyDigest +
                          "\t60000\r\n"));
    server.Route("/patch/3/Zorv_Data/a.dat", Reply::Body(first).StallAfter(20'000, 250ms));
    server.Route("/patch/3/Zorv_Data/sub/b.dat", Reply::Body(second).StallAfter(30'000, 250ms));

    EXPECT_EQ(dialog.DoModal(), IDR_FILES_CURRENT);

    EXPECT_EQ(ReadAll(folder.Path() / "Zorv_Data/a.dat"), first);
    EXPECT_EQ(ReadAll(folder.Path() / "Zorv_Data/sub/b.dat"), second);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FILES_DONE}));
    int reports = 0;
    const Shown* last = nullptr;
    for (const Shown& shown : dialog.shown) {
        if (shown.code != UN_PROGRESS)
            continue;
        ++reports;
        last = &shown;
        const int total = SinglePrecisionPercent(shown.report.nTotalDone, shown.report.nTotalSize);
        const int file = SinglePrecisionPercent(shown.report.nFileDone, shown.report.nFileSize);
        EXPECT_EQ(shown.upper, total);
        EXPECT_EQ(shown.lower, file);
        EXPECT_EQ(shown.upperText, std::to_wstring(total) + L"%");
        EXPECT_EQ(shown.lowerText, std::to_wstring(file) + L"%");
        EXPECT_EQ(shown.status, kUpdating);
    }
    // At least a report within each transfer and one after each file.
    EXPECT_GE(reports, 4);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->upper, 100);
    EXPECT_EQ(last->lower, 100);
}

TEST_F(ExecutableUpdateDlgTest, AFileThatCannotBeFetchedClosesTheWindow)
{
    ServeList(Reply::Body(std::string("gone.dat\t3\t") + kEmptyDigest + "\t5\r\n"));
    server.Route("/patch/3/Zorv_Data/gone.dat", Reply::Status(404));
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY, UN_FAILED}));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(ExecutableUpdateDlgTest, EscDuringADownloadEndsTheRunAtOnce)
{
    ServeList(Reply::Body(std::string("slow.dat\t3\t") + kEmptyDigest + "\t10\r\n"));
    server.Route("/patch/3/Zorv_Data/slow.dat", Reply::Body("0123456789").StallAfter(2, 2000ms));
    const int result = RunModal(dialog, [&] {
        ASSERT_TRUE(RunLoopUntil([&] { return !dialog.shown.empty(); }));
        PressKey(dialog.m_hWnd, "Escape");
        EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }, 500ms));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{UN_FILE_SUMMARY}));
}

TEST_F(ExecutableUpdateDlgTest, TheLabelsAreInkedInTheirColourInPlaceAndTheStatusRepaintsAtTheSummary)
{
    ServeList(EndlessListHead());
    const int result = RunModal(dialog, [&] {
        ExpectStatusRepaintedInPlace(dialog, UN_FILE_SUMMARY, reinterpret_cast<LPARAM>(new UpdateSummaryInfo{1, 5}), kUpdating);
        dialog.EndDialog(7);
    });
    EXPECT_EQ(result, 7);
}

TEST_F(ExecutableUpdateDlgTest, TheTwoPercentagesInSinglePrecisionAndTheRepaintsTheyCause)
{
    ServeList(EndlessListHead());
    const int result = RunModal(dialog, [&] {
        struct Case {
            ULONGLONG totalDone, totalSize, fileDone, fileSize;
            int upper, lower;
            bool upperRepaints, lowerRepaints;
        };
        const Case cases[] = {
            {99'999'999, 100'000'000, 999'999, 1'000'000, 100, 99, true, true},
            {99'999'999, 100'000'000, 999'999, 1'000'000, 100, 99, false, false},
            {0, 0, 0, 0, 100, 100, false, true},
            {150, 100, 5, 10, 150, 50, true, true},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.upper);
            UpdateWindowPaints paints(dialog.m_progTotal, dialog.m_progFile, dialog.m_txtTotal, dialog.m_txtFile);
            dialog.Report(c.totalDone, c.totalSize, c.fileDone, c.fileSize);
            ASSERT_TRUE(paints.WaitForLabels());
            EXPECT_EQ(paints.upperBar.Count() > 0, c.upperRepaints);
            EXPECT_EQ(paints.lowerBar.Count() > 0, c.lowerRepaints);
            EXPECT_EQ(dialog.m_progTotal.m_nPos, c.upper);
            EXPECT_EQ(dialog.m_progFile.m_nPos, c.lower);
            EXPECT_EQ(dialog.m_txtTotal.m_strText, (std::to_wstring(c.upper) + L"%").c_str());
            EXPECT_EQ(dialog.m_txtFile.m_strText, (std::to_wstring(c.lower) + L"%").c_str());
        }
        for (WPARAM code : {WPARAM{UN_LAUNCHER_UPDATING}, WPARAM{UN_LAUNCHER_DOWNLOADED}, WPARAM{UN_LAUNCHER_CURRENT}})
            dialog.SendMessage(WM_UPDATE_NOTIFY, code, 0);
        EXPECT_TRUE(dialog.IsModalRunning());
        EXPECT_EQ(dialog.m_txtStatus.m_strText, kChecking.c_str());

        EXPECT_FALSE(UpdateTestAccess::ReportProgress(manager));
        dialog.SendMessage(WM_UPDATE_NOTIFY, UN_FILE_SUMMARY, reinterpret_cast<LPARAM>(new UpdateSummaryInfo{0, 0}));
        EXPECT_TRUE(UpdateTestAccess::ReportProgress(manager));
        EXPECT_EQ(dialog.m_txtStatus.m_strText, kUpdating.c_str());
        dialog.SendMessage(WM_UPDATE_NOTIFY, UN_FILES_DONE, 0);
        EXPECT_FALSE(dialog.IsModalRunning());
    });
    EXPECT_EQ(result, IDR_FILES_CURRENT);
    EXPECT_EQ(dialog.m_progTotal.m_nPos, 100);
    EXPECT_EQ(dialog.m_progFile.m_nPos, 100);
    EXPECT_EQ(dialog.m_txtStatus.m_strText, kDone.c_str());
}

TEST_F(ExecutableUpdateDlgTest, WhileAnotherRunHoldsTheGameFolderTheWindowWaitsAndEscEndsItAtOnce)
{
    ServeList(Reply::Body(""));
    FolderLock otherRun;
    ASSERT_EQ(otherRun.Acquire(L".", [] { return false; }), FolderLock::Outcome::Held);
    auto waiting = std::make_unique<CUpdateManager>();
    UpdateTestAccess::FileListUrl(*waiting) = server.WideUrl(L"/list/");
    {
        ObservedExecutableUpdateDlg waitingDialog{waiting.get()};
        const int result = RunModal(waitingDialog, [&] {
            RunLoopFor(1s);
            EXPECT_EQ(waitingDialog.m_txtStatus.m_strText, kChecking.c_str());
            EXPECT_TRUE(waitingDialog.shown.empty());
            PressKey(waitingDialog.m_hWnd, "Escape");
            EXPECT_TRUE(RunLoopUntil([&] { return !waitingDialog.IsModalRunning(); }, 500ms));
        });
        EXPECT_EQ(result, IDCANCEL);
    }
    const auto started = std::chrono::steady_clock::now();
    waiting.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
    EXPECT_EQ(server.RequestCount("/list/ExecutableFileList.txt"), 0u);
}

TEST_F(ExecutableUpdateDlgTest, AWorkerThatCannotStartClosesTheWindow)
{
    ServeList(Reply::Body(""));
    RefusedThreadStarts refused;
    // Ended with -2 by RunModal if it were still open.
    const int result = RunModal(dialog, [&] { RunLoopUntil([&] { return !dialog.IsModalRunning(); }, 3s); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{UN_FAILED}));
    EXPECT_EQ(UpdateTestAccess::Thread(manager), nullptr);
    EXPECT_EQ(server.RequestCount("/list/ExecutableFileList.txt"), 0u);
}

}  // namespace
