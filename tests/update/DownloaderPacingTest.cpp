#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win/Text.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"

namespace {

using namespace std::chrono_literals;

class DownloaderPacingTest : public ::testing::Test {
protected:
    DownloaderPacingTest()
    {
        TestCertificates::TrustAuthority();
        UpdateTestAccess::Prepare(manager, window.hwnd);
    }
    ~DownloaderPacingTest() override { UpdateTestAccess::GuardedFile().clear(); }

    TemporaryFolder folder;
    BoxRecorder boxes;
    NotifyRecorder window;
    TestServer server{TestServer::Https};
    CUpdateManager manager;
};

TEST_F(DownloaderPacingTest, EveryTransferReportsItsFirstChunk)
{
    // Transfers one right after the other, each of a single chunk.
    server.Route("/a", Reply::Body("first"));
    server.Route("/b", Reply::Body("second!"));
    for (const wchar_t* path : {L"/a", L"/b", L"/a", L"/b"})
        ASSERT_TRUE(manager.DownloadToFile(server.WideUrl(path).c_str(), L"out.bin"));
    ASSERT_EQ(window.received.size(), 4u);
    const ULONGLONG lengths[] = {5, 7, 5, 7};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(window.received[i].progress.nFileSize, lengths[i]) << i;
        EXPECT_EQ(window.received[i].progress.nFileDone, lengths[i]) << i;
    }
}

TEST_F(DownloaderPacingTest, AReportComesOnlyMoreThan100MillisecondsAfterTheLastOne)
{
    // The whole body waits while the window takes its time over each report, so a chunk is read
    // that long after the report before it.
    server.Route("/four", Reply::Generated(4096));
    struct Case {
        std::chrono::milliseconds handling;
        bool everyChunk;
    } cases[] = {{50ms, false}, {150ms, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handling.count());
        window.received.clear();
        window.onNotify = [&](const Notification&) { std::this_thread::sleep_for(c.handling); };
        ASSERT_TRUE(manager.DownloadToFile(server.WideUrl(L"/four").c_str(), L"out.bin"));
        ASSERT_FALSE(window.received.empty());
        if (c.everyChunk) {
            EXPECT_GE(window.received.size(), 4u);
            EXPECT_EQ(window.received.back().progress.nFileDone, 4096u);
        } else {
            EXPECT_EQ(window.received.size(), 1u);
        }
    }
}

TEST_F(DownloaderPacingTest, TheGuardedFileIsNeverWritten)
{
    server.Route("/new", Reply::Body("not a program"));
    folder.WriteFile("launcher.exe", "running");
    folder.WriteFile("sub/keep", "");
    const std::wstring guarded = Utf8ToWide(std::filesystem::canonical(folder.Path() / "launcher.exe").string());
    struct Case {
        std::wstring guarded;
        std::wstring local;
        bool written;
    } cases[] = {
        {guarded, L"launcher.exe", false},
        {guarded, L".\\launcher.exe", false},
        {guarded, L"sub\\..\\launcher.exe", false},
        {guarded, guarded, false},
        {Utf8ToWide((folder.Path() / "other.exe").string()), L"launcher.exe", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.local));
        UpdateTestAccess::GuardedFile() = c.guarded;
        // A refused local file closes the session, so each case has a manager of its own.
        CUpdateManager fresh;
        UpdateTestAccess::Prepare(fresh, window.hwnd);
        size_t before = boxes.Boxes().size();
        EXPECT_EQ(fresh.DownloadToFile(server.WideUrl(L"/new").c_str(), c.local.c_str()), c.written);
        EXPECT_EQ(ReadAll(folder.Path() / "launcher.exe"), c.written ? "not a program" : "running");
        if (c.written)
            continue;
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes().back().text, L"OpenFile Error: " + c.local);
        EXPECT_EQ(boxes.Boxes().back().caption, L"OpenFile Exception");
    }
}

}  // namespace
