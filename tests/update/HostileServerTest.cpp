// The engine against servers that misbehave: redirects down to plain http, answers that trickle
// or stall, endless lines, and addresses of schemes the engine does not fetch.
#include <gtest/gtest.h>
#include <malloc.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "platform/inet/InternetConstants.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/LauncherCheckFixture.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/CLauncherState.h"
#include "update/UpdateAddresses.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kListPath = "/zorv/patch_v3/LauncherUpdate.txt";

class HostileServerTest : public LauncherCheckFixture {};

TEST_F(HostileServerTest, AListRedirectedFromHttpsToHttpIsNotFetched)
{
    TestServer plain;
    plain.Route("/LauncherUpdate.txt", Reply::Body(List("0.0.0.7", plain.Url("/new.exe"))));
    plain.Route("/new.exe", Reply::Body("#!/bin/sh\necho fetched in the clear\n"));
    server.Route(kListPath, Reply::Redirect(plain.Url("/LauncherUpdate.txt")));
    RunCheck();
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FAILED}));
    EXPECT_TRUE(plain.Requests().empty());
    EXPECT_FALSE(std::filesystem::exists(updatePath));
    // A failed request like any other: five attempts, the box on the last.
    EXPECT_EQ(server.RequestCount(kListPath), 5u);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"OpenURL Exception");

    // A request that starts as http may still go on to https.
    server.Route("/secure-list", Reply::Body("a\nb\n"));
    plain.Route("/list", Reply::Redirect(server.Url("/secure-list")));
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    std::vector<CString> lines;
    EXPECT_TRUE(manager.DownloadLines(plain.WideUrl(L"/list").c_str(), lines));
    EXPECT_EQ(lines, (std::vector<CString>{L"a", L"b"}));
}

TEST_F(HostileServerTest, TheDestructorEndsAnyTransferWithinASecond)
{
    std::string endless(10000, 'v');  // no line end
    server.Route("/new.exe", Reply::Body(endless).TrickleBody(1s));
    struct Case {
        const char* name;
        std::vector<Reply> list;
        const char* waitedPath;
        size_t waitedRequests;
        size_t requests;  // all that the server gets
    } cases[] = {
        {"header lines one a second", {Reply::Body(List("0.0.0.6", "x")).TrickleHeaders(1s, 30)}, kListPath, 1, 1},
        {"a list line a byte a second", {Reply::Body(endless).TrickleBody(1s)}, kListPath, 1, 1},
        {"a stall before the headers", {Reply::Body(List("0.0.0.6", "x")).StallBeforeHeaders(60s)}, kListPath, 1, 1},
        {"the new launcher a byte a second", {Reply::Body(List("0.0.0.7", server.Url("/new.exe")))}, "/new.exe", 1, 2},
        // The last attempt would show its failure; a stop is none.
        {"the last attempt a byte a second",
         {Reply::Reset(), Reply::Reset(), Reply::Reset(), Reply::Reset(), Reply::Body(endless).TrickleBody(1s)},
         kListPath, 5, 5},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Route(kListPath, c.list);
        size_t requestsBefore = server.Requests().size();
        size_t waitedBefore = server.RequestCount(c.waitedPath);
        auto manager = std::make_unique<CUpdateManager>();
        auto notified = std::make_unique<NotifyRecorder>();
        manager->StartWorker(notified->hwnd, LauncherUpdateThreadProc, ProgressReports::On);
        ASSERT_TRUE(RunLoopUntil([&] { return server.RequestCount(c.waitedPath) - waitedBefore >= c.waitedRequests; }));
        RunLoopUntil([] { return false; }, 2s);  // the transfer is under way
        // The window has gone (Esc); the manager goes after it.
        notified.reset();
        DWORD started = timeGetTime();
        manager.reset();
        EXPECT_LE(timeGetTime() - started, 1500u);
        EXPECT_TRUE(boxes.Boxes().empty());
        // No further attempt was made.
        EXPECT_EQ(server.Requests().size() - requestsBefore, c.requests);
        server.Route("/new.exe", Reply::Body(endless).TrickleBody(1s));
    }
}

TEST_F(HostileServerTest, AnEndlessListLineFailsTheCheckAndIsNotReadOn)
{
    server.Route(kListPath, Reply::Filled(256ull * 1024 * 1024, 'x'));
    RunCheck();
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FAILED}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(server.RequestCount(kListPath), 1u);
    // The manager has gone and with it the response: what the server got out before the
    // connection closed is the line limit and what the buffers on the way hold.
    ASSERT_TRUE(server.WaitUntilNoConnection(10s));
    EXPECT_LT(server.BodyBytesSent(), 16u * 1024 * 1024);

    // The limit itself: 64 KiB is a line, one byte more is not.
    std::string longest(64 * 1024, 'k');
    server.Route("/longest", Reply::Body("a\n" + longest + "\nb\n"));
    server.Route("/longer", Reply::Body("a\n" + longest + "k\nb\n"));
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    std::vector<CString> lines;
    EXPECT_TRUE(manager.DownloadLines(server.WideUrl(L"/longest").c_str(), lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].GetLength(), 64 * 1024);
    EXPECT_FALSE(manager.DownloadLines(server.WideUrl(L"/longer").c_str(), lines));
    EXPECT_EQ(server.RequestCount("/longer"), 1u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HostileServerTest, AListOfEndlessEmptyLinesFailsTheCheckAndIsNotReadOn)
{
    server.Route(kListPath, Reply::Filled(64ull << 20, '\n'));
    RunCheck();
    EXPECT_EQ(window.CodesWithoutProgress(), (std::vector<WPARAM>{UN_FAILED}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(server.RequestCount(kListPath), 1u);
    ASSERT_TRUE(server.WaitUntilNoConnection(10s));
    EXPECT_LT(server.BodyBytesSent(), 16u << 20);

    // The limit itself, and only the lines asked for are kept.
    server.Route("/most", Reply::Filled(CUpdateManager::kMaxListLines, '\n'));
    server.Route("/more", Reply::Filled(CUpdateManager::kMaxListLines + 1, '\n'));
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    std::vector<CString> lines;
    EXPECT_TRUE(manager.DownloadLines(server.WideUrl(L"/most").c_str(), lines, 5));
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_FALSE(manager.DownloadLines(server.WideUrl(L"/more").c_str(), lines, 5));
    EXPECT_EQ(server.RequestCount("/more"), 1u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

long StatusValueKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

// Under a sanitizer freed memory is held back for a while (AddressSanitizer's quarantine is
// 256 MiB), so there the bound only tells a bounded list from one kept whole.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr long kListPeakLimitKb = 384 * 1024;
#else
constexpr long kListPeakLimitKb = 100 * 1024;
#endif

// How far the peak resident memory rose above the resident memory before run(), in KiB (below 0
// when memory held before was given back); none when the peak cannot be reset here. Memory freed
// before is given back first, so that run() cannot reuse it unseen.
template <class Run>
std::optional<long> PeakGrowthKb(Run run)
{
    malloc_trim(0);
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    if (!reset)
        return std::nullopt;
    long before = StatusValueKb("VmRSS:");
    run();
    return StatusValueKb("VmHWM:") - before;
}

// Runs a client update worker to its end against this client file list.
void RunClientUpdate(TestServer& server, const Reply& list, NotifyRecorder& notified)
{
    CUpdateManager manager;
    server.Route("/list/ExecutableFileList.txt", list);
    UpdateTestAccess::FileListUrl(manager) = server.WideUrl(L"/list/");
    UpdateTestAccess::PatchUrl(manager) = server.WideUrl(L"/patch/");
    manager.StartWorker(notified.hwnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);
    ASSERT_TRUE(RunLoopUntil([&] { return notified.Count(UN_FAILED) + notified.Count(UN_FILES_DONE) > 0; }, 120s));
    WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
}

TEST_F(HostileServerTest, NoListTakesMuchMemory)
{
    std::string deep;
    for (int i = 0; i < 30000; ++i)
        deep += "d\\";
    struct Case {
        const char* name;
        bool clientList;  // else the launcher list
        Reply list;
    } cases[] = {
        {"a client list of one 512 MiB line", true, Reply::Filled(512ull << 20, 'x')},
        {"a client list of 10 MiB of empty lines", true, Reply::Filled(10ull << 20, '\n')},
        {"a launcher list of 10 MiB of empty lines", false, Reply::Filled(10ull << 20, '\n')},
        {"a path 30,000 folders deep", true, Reply::Body(deep + "f\t1\tx\t1\n")},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint64_t sentBefore = server.BodyBytesSent();
        TemporaryFolder game;
        NotifyRecorder notified;
        std::optional<long> growth = PeakGrowthKb([&] {
            if (c.clientList) {
                RunClientUpdate(server, c.list, notified);
            } else {
                CUpdateManager manager;
                server.Route(kListPath, c.list);
                manager.StartWorker(notified.hwnd, LauncherUpdateThreadProc, ProgressReports::On);
                ASSERT_TRUE(RunLoopUntil([&] { return notified.Count(UN_FAILED) > 0; }, 60s));
                WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
            }
        });
        if (!growth)
            GTEST_SKIP() << "the peak memory cannot be reset here";
        EXPECT_LT(*growth, kListPeakLimitKb) << "peak memory grew by " << *growth << " KiB";
        // Nothing to act on: an empty client list, a failed check, a refused path.
        ASSERT_FALSE(notified.received.empty());
        EXPECT_EQ(notified.received.back().code, c.clientList && c.list.filled ? UN_FILES_DONE : UN_FAILED);
        EXPECT_FALSE(std::filesystem::exists(game.Path() / "Zorv_Data"));
        // Reading stops at the client list's limit: the game folder never holds the whole list.
        EXPECT_LT(server.BodyBytesSent() - sentBefore, 160ull << 20);
    }
}

// The peak of a client file list at its limits, above what the launcher had before.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr long kLimitsPeakLimitKb = 1024 * 1024;
#else
constexpr long kLimitsPeakLimitKb = 250 * 1024;
#endif

TEST_F(HostileServerTest, AClientListAtItsLimitsTakesMemoryInProportion)
{
    constexpr std::uint64_t kLines = kMaxFileListLines;
    constexpr std::uint64_t kBytes = 128ull << 20;
    // A line of this length, its LF counted, whose path takes what the other fields leave.
    auto line = [](std::uint64_t length, std::string rest) {
        return std::string(length - rest.size(), 'p') + rest;
    };
    const std::string valid = "\t1\t900150983cd24fb0d6963f7d28e17f72\t3\n";
    struct Case {
        const char* name;
        Reply list;
    } cases[] = {
        {"as many valid lines as allowed", Reply::Repeated(line(47, valid), kLines * 47)},
        // Nothing but the path: the most an entry holds for its line.
        {"as many bytes as allowed in the shortest lines", Reply::Repeated(line(kBytes / kLines, "\t\n"), kBytes)},
        {"as many empty lines as allowed", Reply::Filled(kLines, '\n')},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder game;
        NotifyRecorder notified;
        std::optional<long> growth = PeakGrowthKb([&] { RunClientUpdate(server, c.list, notified); });
        if (!growth)
            GTEST_SKIP() << "the peak memory cannot be reset here";
        EXPECT_LT(*growth, kLimitsPeakLimitKb) << "peak memory grew by " << *growth << " KiB";
        // The list was read whole.
        ASSERT_FALSE(notified.received.empty());
        EXPECT_EQ(notified.received[0].code, UN_FILE_SUMMARY);
        EXPECT_EQ(notified.received[0].summary.nFileCount, kLines);
    }
}

TEST_F(HostileServerTest, AddressesOfOtherSchemesAreRefusedAtOnceWithoutABox)
{
    std::filesystem::path local = folder.WriteFile("list.txt", "a\nb\n");
    const std::wstring urls[] = {
        L"ftp://127.0.0.1:" + std::to_wstring(server.Port()) + L"/a.dat",
        L"FTP://example.invalid/a.dat",
        L"gopher://127.0.0.1/a.dat",
        L"file://" + local.wstring(),
    };
    CUpdateManager manager;
    UpdateTestAccess::Running(manager) = 1;
    for (const std::wstring& url : urls) {
        SCOPED_TRACE(WideToUtf8(url));
        EXPECT_EQ(UpdateTestAccess::Downloader(manager).Open(url.c_str(), nullptr, INTERNET_FLAG_TRANSFER_ASCII, true),
                  CHttpDownloader::kFailed);
        EXPECT_EQ(UpdateTestAccess::Response(manager), nullptr);
        DWORD started = timeGetTime();
        EXPECT_FALSE(manager.DownloadToFile(url.c_str(), L"a.bin"));
        std::vector<CString> lines;
        EXPECT_FALSE(manager.DownloadLines(url.c_str(), lines));
        EXPECT_LT(timeGetTime() - started, 400u);  // no pause: one attempt each
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a.bin"));
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
