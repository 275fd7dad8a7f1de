#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/inet/CInternetSession.h"
#include "platform/win/Text.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestServer.h"

namespace {

struct Answer {
    DWORD status = 0;
    std::string body;
    bool failed = false;
};

Answer Get(const std::wstring& url)
{
    CInternetSession session;
    Answer answer;
    try {
        std::unique_ptr<CStdioFile> file(session.OpenURL(url.c_str(), 1, INTERNET_FLAG_TRANSFER_BINARY));
        auto& response = dynamic_cast<CHttpFile&>(*file);
        response.QueryInfo(HTTP_QUERY_STATUS_CODE, answer.status);
        char buffer[256];
        while (UINT n = response.Read(buffer, sizeof buffer))
            answer.body.append(buffer, n);
    } catch (const CInternetException&) {
        answer.failed = true;
    }
    return answer;
}

}  // namespace

TEST(TestServer, AnswersARouteInOrderThenRepeatsTheLastReply)
{
    TestServer server;
    server.Route("/flaky", {Reply::Hangup(), Reply::Body("gone", 503), Reply::Body("ok")});
    EXPECT_TRUE(Get(server.WideUrl(L"/flaky")).failed);
    EXPECT_EQ(Get(server.WideUrl(L"/flaky")).status, 503u);
    EXPECT_EQ(Get(server.WideUrl(L"/flaky?again")).body, "ok");
    EXPECT_EQ(Get(server.WideUrl(L"/flaky")).body, "ok");
    EXPECT_EQ(server.RequestCount("/flaky"), 4u);
    EXPECT_EQ(server.Requests()[2].target, "/flaky?again");
}

TEST(TestServer, ServesAFolderAndNothingOutsideIt)
{
    TemporaryFolder folder;
    folder.WriteFile("site/a b.txt", "inside");
    folder.WriteFile("secret.txt", "outside");
    TestServer server;
    server.ServeFolder("/files/", folder.Path() / "site");
    server.Route("/files/routed", Reply::Body("table first"));
    struct Case {
        const char* path;
        DWORD status;
        const char* body;
    } cases[] = {
        {"/files/a%20b.txt", 200, "inside"},
        {"/files/routed", 200, "table first"},
        {"/files/missing.txt", 404, "not found"},
        {"/files/..%2fsecret.txt", 404, "not found"},  // the escaped slash is one when decoded
        {"/other/a%20b.txt", 404, "not found"},
    };
    for (const Case& c : cases) {
        Answer answer = Get(server.WideUrl(Utf8ToWide(c.path)));
        EXPECT_EQ(answer.status, c.status) << c.path;
        EXPECT_EQ(answer.body, c.body) << c.path;
    }
}

TEST(TestServer, ListensOnAGivenPortAgainOnceTheFormerServerHasGone)
{
    int port;
    {
        TestServer first;
        port = first.Port();
        first.Route("/a", Reply::Body("first"));
        EXPECT_EQ(Get(first.WideUrl(L"/a")).body, "first");
        EXPECT_THROW(TestServer(TestServer::Http, port), std::runtime_error);
    }
    TestServer again(TestServer::Http, port);
    again.Route("/a", Reply::Body("again"));
    EXPECT_EQ(again.Port(), port);
    EXPECT_EQ(Get(again.WideUrl(L"/a")).body, "again");
}

TEST(TestServer, TricklesHeadLinesAndBodyBytesAndCountsWhatItSent)
{
    using namespace std::chrono_literals;
    TestServer server;
    server.Route("/head", Reply::Body("h").TrickleHeaders(100ms, 5));
    server.Route("/body", Reply::Body("abcde").TrickleBody(100ms));
    server.Route("/filled", Reply::Filled(3000, 'x'));
    struct Case {
        const wchar_t* path;
        std::string body;
        std::chrono::milliseconds least;
    } cases[] = {
        // The status line, Content-Length and five fillers, then the blank line: seven waits.
        {L"/head", "h", 700ms},
        {L"/body", "abcde", 400ms},
        {L"/filled", std::string(3000, 'x'), 0ms},
    };
    for (const Case& c : cases) {
        auto start = std::chrono::steady_clock::now();
        Answer answer = Get(server.WideUrl(c.path));
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(answer.body, c.body);
        EXPECT_GE(elapsed, c.least);
        EXPECT_LT(elapsed, c.least + 500ms);
    }
    EXPECT_TRUE(server.WaitUntilNoConnection(5s));
    EXPECT_EQ(server.BodyBytesSent(), 1u + 5u + 3000u);
}
