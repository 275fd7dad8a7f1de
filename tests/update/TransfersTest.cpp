#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/Threads.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ReadAll.h"
#include "tests/support/RefusedPort.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"

namespace {

class TransfersTest : public ::testing::Test {
protected:
    TransfersTest()
    {
        TestCertificates::TrustAuthority();
        UpdateTestAccess::Prepare(manager, window.hwnd);
    }

    TemporaryFolder folder;
    BoxRecorder boxes;
    NotifyRecorder window;
    CUpdateManager manager;
};

TEST_F(TransfersTest, ResponsesToAFileTransfer)
{
    TestServer server(TestServer::Https);
    struct Case {
        const char* name;
        Reply reply;
        bool result;
        size_t requests;
        const wchar_t* box;  // text of the one box, or null for none
        const wchar_t* title;
        const char* content;
    } cases[] = {
        {"ok", Reply::Body("patch bytes"), true, 1, nullptr, nullptr, "patch bytes"},
        {"empty", Reply::Body(""), true, 1, nullptr, nullptr, ""},
        {"notfound", Reply::Status(404), false, 1, L"Http Error: 404, /notfound", L"OpenURL Exception", nullptr},
        {"error", Reply::Status(500), false, 1, L"Http Error: 500, /error", L"OpenURL Exception", nullptr},
        {"nocontent", Reply::Status(204), false, 1, L"Http Error: 204, /nocontent", L"OpenURL Exception", nullptr},
        {"partial", Reply::Body("abc", 206), false, 1, L"Http Error: 206, /partial", L"OpenURL Exception", nullptr},
        {"chunked", Reply::Body("abc").Chunked(), false, 1, nullptr, nullptr, nullptr},
        {"moved", Reply::Redirect("/ok"), true, 1, nullptr, nullptr, "patch bytes"},
        {"cut", Reply::Body(std::string(5000, 'c')).CutAfter(3000), false, 5, L"", L"Exception", nullptr},
    };
    for (Case& c : cases)
        server.Route(std::string("/") + c.name, c.reply);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t boxesBefore = boxes.Boxes().size();
        size_t requestsBefore = server.RequestCount(std::string("/") + c.name);
        std::wstring local = Utf8ToWide(c.name) + L".bin";
        EXPECT_EQ(manager.DownloadToFile(server.WideUrl(L"/" + Utf8ToWide(c.name)).c_str(), local.c_str()), c.result);
        EXPECT_EQ(server.RequestCount(std::string("/") + c.name) - requestsBefore, c.requests);
        auto shown = boxes.Boxes();
        if (c.box) {
            ASSERT_EQ(shown.size(), boxesBefore + 1);
            if (*c.box) {
                EXPECT_EQ(shown.back().text, c.box);
            } else {
                EXPECT_FALSE(shown.back().text.empty());
            }
            EXPECT_EQ(shown.back().caption, c.title);
            EXPECT_EQ(shown.back().type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        } else {
            EXPECT_EQ(shown.size(), boxesBefore);
        }
        if (c.content) {
            EXPECT_EQ(ReadAll(folder.Path() / (std::string(c.name) + ".bin")), c.content);
        }
    }
    // The redirect was followed to the final answer.
    EXPECT_EQ(server.RequestCount("/ok"), 2u);
}

TEST_F(TransfersTest, AnAddressThatCannotBeOpenedIsTriedFiveTimesWithOneBox)
{
    struct Case {
        const char* name;
        std::wstring url;
    };
    RefusedPort refused;
    TestServer untrusted(TestServer::HttpsUntrusted);
    untrusted.Route("/list", Reply::Body("never"));
    Case cases[] = {
        {"refused", refused.WideUrl(L"/a.dat")},
        {"untrusted", untrusted.WideUrl(L"/list")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t before = boxes.Boxes().size();
        DWORD started = timeGetTime();
        EXPECT_FALSE(manager.DownloadToFile(c.url.c_str(), L"out.bin"));
        DWORD elapsed = timeGetTime() - started;
        EXPECT_GE(elapsed, 4 * 500u - 20);  // four pauses between five attempts
        EXPECT_LT(elapsed, 10000u);
        auto shown = boxes.Boxes();
        ASSERT_EQ(shown.size(), before + 1);
        EXPECT_EQ(shown.back().caption, L"OpenURL Exception");
        std::wstring suffix = L": " + c.url;
        ASSERT_GT(shown.back().text.size(), suffix.size());
        EXPECT_EQ(shown.back().text.substr(shown.back().text.size() - suffix.size()), suffix);
    }
    EXPECT_EQ(untrusted.RequestCount("/list"), 0u);
}

TEST_F(TransfersTest, AFailedAttemptIsRetriedAndTheLaterAnswerKept)
{
    TestServer server(TestServer::Https);
    server.Route("/flaky", {Reply::Reset(), Reply::Body("xyz").CutAfter(1), Reply::Body("whole")});
    server.Route("/stall", {Reply::Body("late").StallBeforeHeaders(std::chrono::milliseconds(4500)), Reply::Body("prompt")});
    EXPECT_TRUE(manager.DownloadToFile(server.WideUrl(L"/flaky").c_str(), L"flaky.bin"));
    EXPECT_EQ(server.RequestCount("/flaky"), 3u);
    EXPECT_EQ(ReadAll(folder.Path() / "flaky.bin"), "whole");
    DWORD started = timeGetTime();
    EXPECT_TRUE(manager.DownloadToFile(server.WideUrl(L"/stall").c_str(), L"stall.bin"));
    DWORD elapsed = timeGetTime() - started;
    EXPECT_GE(elapsed, 3000u);  // the receive time-out ended the first attempt
    EXPECT_LT(elapsed, 4400u);
    EXPECT_EQ(ReadAll(folder.Path() / "stall.bin"), "prompt");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TransfersTest, ALocalFileThatCannotBeCreatedEndsTheSession)
{
    TestServer server(TestServer::Https);
    server.Route("/a", Reply::Body("a"));
    EXPECT_FALSE(manager.DownloadToFile(server.WideUrl(L"/a").c_str(), L"missing\\folder\\a.bin"));
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"OpenFile Error: missing\\folder\\a.bin");
    EXPECT_EQ(shown[0].caption, L"OpenFile Exception");
    // The session is closed: every later transfer fails as an internet failure, without a request.
    EXPECT_FALSE(manager.DownloadToFile(server.WideUrl(L"/a").c_str(), L"a.bin"));
    EXPECT_EQ(server.RequestCount("/a"), 1u);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].caption, L"OpenURL Exception");
}

TEST_F(TransfersTest, BytesThatCannotBeWrittenFailTheTransfer)
{
    TestServer server(TestServer::Https);
    server.Route("/a", Reply::Body("a body that does not fit"));
    // A file may not grow past 4 bytes meanwhile: a write beyond fails (EFBIG) as on a full disk.
    bool fetched = true;
    {
        FileSizeLimit limit(4);
        ASSERT_TRUE(limit.Active());
        fetched = manager.DownloadToFile(server.WideUrl(L"/a").c_str(), L"a.bin");
    }
    EXPECT_FALSE(fetched);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"File Exception");
    EXPECT_EQ(server.RequestCount("/a"), 1u);
}

TEST_F(TransfersTest, TheRunningExecutableIsNeverWritten)
{
    TestServer server(TestServer::Https);
    server.Route("/new", Reply::Body("not a program"));
    std::wstring self = GetModuleFilePath();
    auto sizeBefore = std::filesystem::file_size(self);
    EXPECT_FALSE(manager.DownloadToFile(server.WideUrl(L"/new").c_str(), self.c_str()));
    EXPECT_EQ(std::filesystem::file_size(self), sizeBefore);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"OpenFile Error: " + self);
}

TEST_F(TransfersTest, LinesAreSplitDecodedAndKeptWhole)
{
    TestServer server(TestServer::Https);
    std::string longLine(2000, 'L');
    server.Route("/lines", Reply::Body("a\r\nb\nc"));
    server.Route("/crs", Reply::Body("x\ry\r\n\n\r\nlast\n"));
    server.Route("/nul", Reply::Body(std::string("ab\0cd\nef", 8)));
    server.Route("/long", Reply::Body(std::string(511, 'k') + "\n" + longLine + "\n"));
    server.Route("/empty", Reply::Body(""));
    server.Route("/retry", {Reply::Body("1\n2\n3\n4\n5\n").CutAfter(4), Reply::Reset(),
                            Reply::Body("1\n2\n3\n4\n5\n").CutAfter(6), Reply::Body("1\n2\n3\n4\n5\n")});
    server.Route("/broken", Reply::Body("1\n2\n3\n4\n5\n").CutAfter(4));
    using Lines = std::vector<std::wstring>;
    struct Case {
        const wchar_t* path;
        bool result;
        Lines lines;
    } cases[] = {
        {L"/lines", true, {L"a", L"b", L"c"}},
        {L"/crs", true, {L"xy", L"", L"", L"last"}},
        {L"/nul", true, {L"ab", L"ef"}},
        {L"/long", true, {std::wstring(511, L'k'), std::wstring(2000, L'L')}},
        {L"/empty", true, {}},
        {L"/retry", true, {L"1", L"2", L"3", L"4", L"5"}},
        {L"/broken", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.path));
        std::vector<CString> lines = {L"earlier content"};
        EXPECT_EQ(manager.DownloadLines(server.WideUrl(c.path).c_str(), lines), c.result);
        if (!c.result)
            continue;
        Lines got;
        for (const CString& line : lines)
            got.push_back(line.str());
        EXPECT_EQ(got, c.lines);
    }
    EXPECT_EQ(server.RequestCount("/retry"), 4u);
    EXPECT_EQ(server.RequestCount("/broken"), 5u);
    // Only the last attempt of /broken showed its failure.
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Exception");
}

TEST_F(TransfersTest, ProgressIsPacedAndFollowsTheFlag)
{
    TestServer server(TestServer::Https);
    // The first chunk is reported at once; a body that then trickles for 1.5 s gives about ten
    // reports a second.
    server.Route("/slow", Reply::Generated(40 * 1024).StallAfter(2048, std::chrono::milliseconds(1500)));
    server.Route("/fast", Reply::Generated(2 * 1024 * 1024));
    UpdateTestAccess::SetTotals(manager, 10'000'000'000ull, 5'000'000'000ull);
    ASSERT_TRUE(manager.DownloadToFile(server.WideUrl(L"/slow").c_str(), L"slow.bin"));
    ASSERT_GE(window.received.size(), 2u);
    const UpdateProgressInfo& first = window.received.front().progress;
    EXPECT_EQ(first.nTotalSize, 10'000'000'000ull);
    EXPECT_EQ(first.nFileSize, 40u * 1024);
    EXPECT_GT(first.nFileDone, 0u);
    EXPECT_EQ(first.nTotalDone, 5'000'000'000ull + first.nFileDone);
    EXPECT_LE(window.received.size(), 4u);

    window.received.clear();
    UpdateTestAccess::ReportProgress(manager) = false;
    ASSERT_TRUE(manager.DownloadToFile(server.WideUrl(L"/fast").c_str(), L"fast.bin"));
    EXPECT_TRUE(window.received.empty());
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "fast.bin"), 2u * 1024 * 1024);
}

TEST_F(TransfersTest, ClearingTheRunningFlagStopsATransferAtItsNextRead)
{
    TestServer server(TestServer::Https);
    server.Route("/big", Reply::Generated(4 * 1024 * 1024));
    window.onNotify = [this](const Notification&) { UpdateTestAccess::Running(manager) = 0; };
    EXPECT_FALSE(manager.DownloadToFile(server.WideUrl(L"/big").c_str(), L"big.bin"));
    EXPECT_EQ(window.received.size(), 1u);
    EXPECT_EQ(server.RequestCount("/big"), 1u);
    EXPECT_FALSE(manager.DownloadToFile(server.WideUrl(L"/big").c_str(), L"big.bin"));
    std::vector<CString> lines;
    EXPECT_FALSE(manager.DownloadLines(server.WideUrl(L"/big").c_str(), lines));
    EXPECT_EQ(server.RequestCount("/big"), 1u);
}

}  // namespace
