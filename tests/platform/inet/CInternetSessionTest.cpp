#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/inet/CInternetSession.h"
#include "platform/win/Text.h"
#include "tests/support/RefusedPort.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr DWORD kDownloadFlags = INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE;

// Sets or removes environment variables for one test and puts the old values back.
class ScopedEnvironment {
public:
    void Set(const char* name, const char* value)
    {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name);
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

class InternetSessionTest : public testing::Test {
protected:
    InternetSessionTest()
    {
        // Nothing of the machine's proxy set-up may take the requests away from 127.0.0.1.
        for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            environment.Set(name, nullptr);
        session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 3000);
        session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 3000);
    }

    std::unique_ptr<CHttpFile> Open(const std::wstring& url, DWORD flags = kDownloadFlags)
    {
        CStdioFile* file = session.OpenURL(url.c_str(), 1, flags);
        auto* response = dynamic_cast<CHttpFile*>(file);
        if (!response)
            delete file;
        EXPECT_NE(response, nullptr);
        return std::unique_ptr<CHttpFile>(response);
    }

    ScopedEnvironment environment;
    CInternetSession session;
};

struct Outcome {
    std::optional<DWORD> openError;
    DWORD status = 0;
    std::optional<ULONGLONG> length;
    std::string body;
    std::optional<DWORD> readError;
    CString message;
};

Outcome Fetch(CInternetSession& session, const std::wstring& url)
{
    Outcome outcome;
    std::unique_ptr<CStdioFile> file;
    try {
        file.reset(session.OpenURL(url.c_str(), 1, kDownloadFlags));
    } catch (const CInternetException& e) {
        outcome.openError = e.m_dwError;
        outcome.message = e.GetErrorMessage();
        return outcome;
    }
    auto* response = dynamic_cast<CHttpFile*>(file.get());
    EXPECT_NE(response, nullptr);
    if (!response)
        return outcome;
    EXPECT_TRUE(response->QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, outcome.status));
    ULONGLONG length = 0;
    if (response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length))
        outcome.length = length;
    try {
        char buffer[1024];
        while (UINT n = response->Read(buffer, sizeof buffer))
            outcome.body.append(buffer, n);
    } catch (const CInternetException& e) {
        outcome.readError = e.m_dwError;
        outcome.message = e.GetErrorMessage();
    }
    return outcome;
}

std::string Text(const CString& text)
{
    return WideToUtf8(text.str());
}

// At most a few hundred KiB wait in the layer. Under a sanitizer, freed memory is held back for a
// while (AddressSanitizer's quarantine is 256 MiB), so there the bound only tells a streamed
// body from a body kept whole.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr long kPeakGrowthLimitKb = 384 * 1024;
#else
constexpr long kPeakGrowthLimitKb = 1024;
#endif

long StatusValueKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

}  // namespace

TEST_F(InternetSessionTest, ReportsWhatTheServerAnswered)
{
    struct Case {
        const char* name;
        Reply reply;
        std::optional<DWORD> openError;
        DWORD status;
        std::optional<ULONGLONG> length;
        std::string body;
        std::optional<DWORD> readError;
    } cases[] = {
        {"ok", Reply::Body("hello"), {}, 200, 5, "hello", {}},
        {"empty", Reply::Body(""), {}, 200, 0, "", {}},
        {"not-found", Reply::Body("missing", 404), {}, 404, 7, "missing", {}},
        {"server-error", Reply::Body("broken", 500), {}, 500, 6, "broken", {}},
        {"no-content", Reply::Status(204), {}, 204, {}, "", {}},
        {"partial", Reply::Body("cd", 206).Header("Content-Range", "bytes 2-3/6"), {}, 206, 2, "cd", {}},
        {"chunked", Reply::Body("abc\ndef\n").Chunked(), {}, 200, {}, "abc\ndef\n", {}},
        {"redirected", Reply::Redirect("/ok"), {}, 200, 5, "hello", {}},
        {"moved", Reply::Redirect("ok", 301), {}, 200, 5, "hello", {}},
        {"redirect-loop", Reply::Redirect("/redirect-loop"), ERROR_HTTP_REDIRECT_FAILED, 0, {}, "", {}},
        {"cut-short", Reply::Body("0123456789").CutAfter(4), {}, 200, 10, "0123", ERROR_INTERNET_CONNECTION_ABORTED},
        {"chunked-cut", Reply::Body("0123456789").Chunked().CutAfter(4), {}, 200, {}, "0123", ERROR_INTERNET_CONNECTION_ABORTED},
        {"slow-but-steady", Reply::Body("0123456789").StallAfter(3, 1500ms), {}, 200, 10, "0123456789", {}},
        {"length-not-a-number", Reply::Body("x").Header("Content-Length", "1x"), {}, 200, {}, "x", {}},
        {"reset", Reply::Reset(), ERROR_INTERNET_CONNECTION_RESET, 0, {}, "", {}},
        {"hangup", Reply::Hangup(), ERROR_INTERNET_CONNECTION_ABORTED, 0, {}, "", {}},
        {"garbage", Reply::Raw("HTTP/1.1 2OO OK\r\n\r\n"), ERROR_HTTP_INVALID_SERVER_RESPONSE, 0, {}, "", {}},
    };
    TestServer server;
    for (const Case& c : cases)
        server.Route(std::string("/") + c.name, c.reply);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome outcome = Fetch(session, server.WideUrl(Utf8ToWide(std::string("/") + c.name)));
        EXPECT_EQ(outcome.openError, c.openError) << Text(outcome.message);
        if (c.openError || outcome.openError) {
            EXPECT_FALSE(outcome.message.IsEmpty());
            continue;
        }
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.length, c.length);
        EXPECT_EQ(outcome.body, c.body);
        EXPECT_EQ(outcome.readError, c.readError) << Text(outcome.message);
    }
}

TEST_F(InternetSessionTest, ReadsLengthsBeyondThirtyTwoBitsOnlyAsSixtyFourBitNumbers)
{
    TestServer server;
    server.Route("/huge", Reply::Body("").Header("Content-Length", "5000000000").CutAfter(0));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/huge"));
    ULONGLONG wide = 0;
    DWORD narrow = 7;
    EXPECT_TRUE(response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, wide));
    EXPECT_EQ(wide, 5000000000ULL);
    EXPECT_FALSE(response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, narrow));
    EXPECT_EQ(narrow, 7u);
    EXPECT_FALSE(response->QueryInfo(12345, wide));
    char byte;
    EXPECT_THROW(response->Read(&byte, 1), CInternetException);
}

TEST_F(InternetSessionTest, ReceiveTimeOutFiresWhenNoByteComesForThreeSeconds)
{
    struct Case {
        const char* name;
        Reply reply;
        bool duringOpen;
    } cases[] = {
        {"before-headers", Reply::Body("late").StallBeforeHeaders(8s), true},
        {"in-body", Reply::Body("0123456789").StallAfter(4, 8s), false},
    };
    TestServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Route(std::string("/") + c.name, c.reply);
        Clock::time_point start = Clock::now();
        Outcome outcome = Fetch(session, server.WideUrl(Utf8ToWide(std::string("/") + c.name)));
        auto elapsed = Clock::now() - start;
        EXPECT_EQ(c.duringOpen ? outcome.openError : outcome.readError, ERROR_INTERNET_TIMEOUT) << Text(outcome.message);
        EXPECT_GE(elapsed, 2900ms);
        EXPECT_LE(elapsed, 4500ms);
        if (!c.duringOpen) {
            EXPECT_EQ(outcome.body, "0123");
        }
    }
}

TEST_F(InternetSessionTest, HeadersThatTrickleLongerThanTheTimeOutAreNoTimeOut)
{
    TestServer server;
    server.Route("/slow-head", Reply::Body("done").TrickleHeaders(100ms, 8));
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 500);
    Outcome outcome = Fetch(session, server.WideUrl(L"/slow-head"));
    EXPECT_FALSE(outcome.openError) << Text(outcome.message);
    EXPECT_EQ(outcome.status, 200u);
    EXPECT_EQ(outcome.body, "done");
}

TEST_F(InternetSessionTest, ASlowReaderIsNoTimeOut)
{
    TestServer server;
    server.Route("/big", Reply::Generated(4 * 1024 * 1024));
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 500);
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/big"));
    std::string buffer(64 * 1024, '\0');
    ULONGLONG total = response->Read(buffer.data(), 1024);
    std::this_thread::sleep_for(800ms);  // past the time-out: the transfer is paused meanwhile, not timed
    while (UINT n = response->Read(buffer.data(), static_cast<UINT>(buffer.size())))
        total += n;
    EXPECT_EQ(total, 4u * 1024 * 1024);
}

TEST_F(InternetSessionTest, ConnectTimeOutCoversTheSecureHandshake)
{
    // A plain server never answers a TLS hello: the connection stays in its handshake.
    TestServer silent;
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 1000);
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 10000);
    std::wstring url = silent.WideUrl(L"/a");
    url.replace(0, 4, L"https");
    Clock::time_point start = Clock::now();
    Outcome outcome = Fetch(session, url);
    auto elapsed = Clock::now() - start;
    EXPECT_EQ(outcome.openError, ERROR_INTERNET_TIMEOUT) << Text(outcome.message);
    EXPECT_LE(elapsed, 3000ms);
}

TEST_F(InternetSessionTest, ARefusedPortFailsWithCurlsOwnText)
{
    RefusedPort refused;
    Outcome outcome = Fetch(session, refused.WideUrl(L"/a"));
    EXPECT_EQ(outcome.openError, ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_NE(Text(outcome.message).find(std::to_string(refused.Port())), std::string::npos) << Text(outcome.message);
}

// The certificate is judged by the rules the page is judged by (ServerTrust): signed by an
// authority of the trust store, meant for a server, a key of the system's security level, the
// host in a subjectAltName. The failure names the rule.
TEST_F(InternetSessionTest, TrustsCertificatesOnlyThroughTheTrustStore)
{
    TestServer trusted(TestServer::Https);
    TestServer untrusted(TestServer::HttpsUntrusted);
    TestServer clientOnly(TestServer::HttpsClientAuthOnly);
    TestServer weakKey(TestServer::HttpsWeakKey);
    TestServer commonNameOnly(TestServer::HttpsCommonNameOnly);
    for (TestServer* server : {&trusted, &untrusted, &clientOnly, &weakKey, &commonNameOnly})
        server->Route("/a", Reply::Body("secure"));
    std::string authority = TestCertificates::Instance().AuthorityFile().string();
    struct Case {
        const char* name;
        const char* curlCaBundle;
        const char* sslCertFile;
        const TestServer& server;
        std::optional<DWORD> openError;
        const char* reason;
    } cases[] = {
        {"SSL_CERT_FILE", nullptr, authority.c_str(), trusted, {}, ""},
        {"CURL_CA_BUNDLE first", authority.c_str(), "/nonexistent.pem", trusted, {}, ""},
        {"CURL_CA_BUNDLE wins", "/nonexistent.pem", authority.c_str(), trusted, ERROR_INTERNET_INVALID_CA,
         "local issuer"},
        {"system store only", nullptr, nullptr, trusted, ERROR_INTERNET_INVALID_CA, "local issuer"},
        {"not signed by the authority", nullptr, authority.c_str(), untrusted, ERROR_INTERNET_INVALID_CA,
         "self-signed"},
        {"meant for clients only", nullptr, authority.c_str(), clientOnly, ERROR_INTERNET_INVALID_CA, "purpose"},
        {"a 1024-bit RSA key", nullptr, authority.c_str(), weakKey, ERROR_INTERNET_INVALID_CA, "too weak"},
        {"the host in the common name only", nullptr, authority.c_str(), commonNameOnly, ERROR_INTERNET_INVALID_CA,
         "address mismatch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        environment.Set("CURL_CA_BUNDLE", c.curlCaBundle);
        environment.Set("SSL_CERT_FILE", c.sslCertFile);
        Outcome outcome = Fetch(session, c.server.WideUrl(L"/a"));
        EXPECT_EQ(outcome.openError, c.openError) << Text(outcome.message);
        EXPECT_NE(Text(outcome.message).find(c.reason), std::string::npos) << Text(outcome.message);
        if (!outcome.openError) {
            EXPECT_EQ(outcome.body, "secure");
        }
    }
}

TEST_F(InternetSessionTest, TestAuthorityHelperMakesHttpsWork)
{
    environment.Set("SSL_CERT_FILE", nullptr);
    environment.Set("CURL_CA_BUNDLE", "/etc/ssl/certs/ca-certificates.crt");
    TestCertificates::TrustAuthority();
    TestServer server(TestServer::Https);
    server.Route("/a", Reply::Body("secure"));
    EXPECT_EQ(Fetch(session, server.WideUrl(L"/a")).body, "secure");
}

TEST_F(InternetSessionTest, RequestsThePathABrowserWould)
{
    TestServer server;
    server.Route("/p/12/DataSource/a$b.dat", Reply::Body("data"));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/p/12/Zorv_Data/..\\DataSource\\a$b.dat"));
    DWORD status = 0;
    EXPECT_TRUE(response->QueryInfo(HTTP_QUERY_STATUS_CODE, status));
    EXPECT_EQ(status, 200u);
    EXPECT_EQ(response->GetFilePath(), L"/p/12/DataSource/a$b.dat");

    Open(server.WideUrl(L"/x y/\u6570?q=\\1 2"));
    std::vector<ReceivedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/p/12/DataSource/a$b.dat");
    EXPECT_EQ(requests[1].target, "/x%20y/%E6%95%B0?q=\\1%202");
    EXPECT_EQ(requests[1].method, "GET");
}

TEST_F(InternetSessionTest, SendsTheAgentAndAsksForAnUncachedAnswer)
{
    TestServer server;
    server.Route("/redirect", Reply::Redirect("/a"));
    CInternetSession named(L"Custom Agent/1.0");
    struct Case {
        const char* name;
        CInternetSession& session;
        DWORD flags;
        std::string userAgent;
        bool uncached;
    } cases[] = {
        {"no agent: the executable's name", session, kDownloadFlags, "platform_inet_tests", true},
        {"agent given", named, kDownloadFlags, "Custom Agent/1.0", true},
        {"without reload", session, INTERNET_FLAG_TRANSFER_ASCII, "platform_inet_tests", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delete c.session.OpenURL(server.WideUrl(L"/redirect").c_str(), 1, c.flags);
        std::vector<ReceivedRequest> requests = server.Requests();
        ASSERT_GE(requests.size(), 2u);
        // The redirected request carries the same headers.
        for (const ReceivedRequest& request : {requests[requests.size() - 2], requests.back()}) {
            EXPECT_EQ(request.Header("User-Agent"), c.userAgent);
            EXPECT_EQ(request.Header("Cache-Control"), c.uncached ? std::optional<std::string>("no-cache") : std::nullopt);
            EXPECT_EQ(request.Header("Pragma"), c.uncached ? std::optional<std::string>("no-cache") : std::nullopt);
        }
    }
}

TEST_F(InternetSessionTest, ReadStringGivesTheLineBytes)
{
    std::string longLine(600 * 1024, 'x');  // longer than the transfer's buffer
    struct Case {
        const char* name;
        std::string body;
        std::vector<std::string> lines;
    } cases[] = {
        {"mixed", std::string("a\r\nb\n\nc\rd\n\xe9\0z", 13), {"a\r", "b", "", "c\rd", std::string("\xe9\0z", 3)}},
        {"ends with LF", "a\n", {"a"}},
        {"empty", "", {}},
        {"lone LF", "\n", {""}},
        {"long", longLine + "\nend", {longLine, "end"}},
    };
    TestServer server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Route("/lines", Reply::Body(c.body).Chunked());
        std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/lines"), INTERNET_FLAG_TRANSFER_ASCII);
        std::vector<std::string> lines;
        std::string line;
        while (response->ReadString(line))
            lines.push_back(line);
        EXPECT_EQ(lines, c.lines);
        EXPECT_FALSE(response->ReadString(line));
    }
}

TEST_F(InternetSessionTest, ReadStringAsTextAndMixedWithRead)
{
    TestServer server;
    server.Route("/text", Reply::Body("a\r\n\xe9\rb\nrest"));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/text"), INTERNET_FLAG_TRANSFER_ASCII);
    CString line;
    ASSERT_TRUE(response->ReadString(line));
    EXPECT_EQ(line, L"a");
    ASSERT_TRUE(response->ReadString(line));
    EXPECT_EQ(line, L"\xe9\rb");
    char rest[16];
    EXPECT_EQ(std::string(rest, response->Read(rest, sizeof rest)), "rest");
    EXPECT_FALSE(response->ReadString(line));
    EXPECT_EQ(line, L"\xe9\rb");
}

TEST_F(InternetSessionTest, ReadStringThrowsWhenTheBodyIsCutShort)
{
    TestServer server;
    server.Route("/cut", Reply::Body("one\ntwo\nthree\n").CutAfter(6));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/cut"), INTERNET_FLAG_TRANSFER_ASCII);
    std::string line;
    ASSERT_TRUE(response->ReadString(line));
    EXPECT_EQ(line, "one");
    EXPECT_THROW(response->ReadString(line), CInternetException);
}

TEST_F(InternetSessionTest, PullsALargeBodyWithBoundedMemory)
{
    constexpr ULONGLONG kLength = 1ULL << 30;
    TestServer server;
    server.Route("/large", Reply::Generated(kLength));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/large"));
    ULONGLONG length = 0;
    ASSERT_TRUE(response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length));
    EXPECT_EQ(length, kLength);

    std::string expected(64 * 1024 + 251, '\0');
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<char>(Reply::PatternByte(i));
    std::string buffer(64 * 1024, '\0');
    long peakBefore = StatusValueKb("VmHWM:");
    ULONGLONG total = 0;
    bool intact = true;
    UINT count = 1024;  // first like the downloader, then in larger reads
    while (UINT n = response->Read(buffer.data(), count)) {
        intact = intact && std::memcmp(buffer.data(), expected.data() + total % 251, n) == 0;
        total += n;
        if (total == 1024)
            std::this_thread::sleep_for(500ms);  // the server could push hundreds of MiB meanwhile
        count = static_cast<UINT>(buffer.size());
    }
    EXPECT_EQ(total, kLength);
    EXPECT_TRUE(intact);
    long growth = StatusValueKb("VmHWM:") - peakBefore;
    EXPECT_LT(growth, kPeakGrowthLimitKb) << "peak memory grew by " << growth << " KiB";
}

TEST_F(InternetSessionTest, ClosedSessionOpensNothingButOpenResponsesStayReadable)
{
    TestServer server;
    server.Route("/a", Reply::Body("still here"));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/a"));
    session.Close();
    try {
        delete session.OpenURL(server.WideUrl(L"/a").c_str());
        ADD_FAILURE() << "opened after Close";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.m_dwError, ERROR_INTERNET_INVALID_OPERATION);
        EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
    }
    EXPECT_EQ(server.RequestCount("/a"), 1u);
    char buffer[32];
    EXPECT_EQ(std::string(buffer, response->Read(buffer, sizeof buffer)), "still here");
}

TEST_F(InternetSessionTest, AClosedResponseThrowsOnUse)
{
    TestServer server;
    server.Route("/a", Reply::Generated(1024 * 1024));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/a"));
    response->Close();
    response->Close();
    char byte;
    DWORD status;
    std::string line;
    EXPECT_THROW(response->Read(&byte, 1), CInternetException);
    EXPECT_THROW(response->QueryInfo(HTTP_QUERY_STATUS_CODE, status), CInternetException);
    EXPECT_THROW(response->ReadString(line), CInternetException);
}

TEST_F(InternetSessionTest, AddressesWithoutSchemeOrHostFail)
{
    struct Case {
        std::wstring url;
        DWORD error;
    } cases[] = {
        {L"127.0.0.1/a", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {L"http:///a", ERROR_INTERNET_INVALID_URL},
    };
    for (const Case& c : cases) {
        try {
            delete session.OpenURL(c.url.c_str());
            ADD_FAILURE() << WideToUtf8(c.url) << " opened";
        } catch (const CInternetException& e) {
            EXPECT_EQ(e.m_dwError, c.error) << WideToUtf8(c.url);
            EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
        }
    }
}

TEST_F(InternetSessionTest, RedirectsToOtherSchemesAreNotFollowed)
{
    TestServer server;
    server.Route("/to-file", Reply::Redirect("file:///etc/passwd"));
    Outcome outcome = Fetch(session, server.WideUrl(L"/to-file"));
    EXPECT_EQ(outcome.openError, ERROR_HTTP_INVALID_SERVER_RESPONSE) << Text(outcome.message);
}

TEST_F(InternetSessionTest, TakesTheProxyFromTheEnvironment)
{
    TestServer proxy;
    RefusedPort target;
    environment.Set("http_proxy", proxy.Url("").c_str());
    Outcome outcome = Fetch(session, target.WideUrl(L"/a"));
    EXPECT_EQ(outcome.status, 404u);  // the proxy's answer
    std::vector<ReceivedRequest> requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, target.Url("/a"));

    environment.Set("no_proxy", "127.0.0.1");
    EXPECT_EQ(Fetch(session, target.WideUrl(L"/a")).openError, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(InternetSessionTest, OtherSchemesGiveAFileThatIsNoResponseAndOpensNothing)
{
    TestServer server;
    TemporaryFolder folder;
    std::filesystem::path local = folder.WriteFile("list.txt", "line\n");
    std::vector<std::wstring> urls;
    for (const wchar_t* scheme : {L"ftp", L"FTP", L"gopher"}) {
        urls.push_back(server.WideUrl(L"/a"));
        urls.back().replace(0, 4, scheme);
    }
    urls.push_back(L"file://" + local.wstring());
    for (const std::wstring& url : urls) {
        std::unique_ptr<CStdioFile> opened(session.OpenURL(url.c_str(), 1, kDownloadFlags));
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(dynamic_cast<CHttpFile*>(opened.get()), nullptr);
        EXPECT_EQ(opened->GetFilePath(), url.c_str());
        char byte;
        CString line;
        EXPECT_THROW(opened->Read(&byte, 1), CInternetException);
        EXPECT_THROW(opened->ReadString(line), CInternetException);
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(InternetSessionTest, HttpsIsRedirectedToHttpsOnly)
{
    TestCertificates::TrustAuthority();
    TestServer plain;
    TestServer secure(TestServer::Https);
    for (TestServer* server : {&plain, &secure}) {
        server->Route("/target", Reply::Body("target"));
        server->Route("/to-http", Reply::Redirect(plain.Url("/target")));
        server->Route("/to-https", Reply::Redirect(secure.Url("/target")));
    }
    struct Case {
        TestServer& start;
        const wchar_t* path;
        bool followed;
    } cases[] = {
        {plain, L"/to-http", true},
        {plain, L"/to-https", true},
        {secure, L"/to-https", true},
        {secure, L"/to-http", false},
    };
    for (const Case& c : cases) {
        std::wstring url = c.start.WideUrl(c.path);
        SCOPED_TRACE(Text(CString(url.c_str())));
        size_t plainTargets = plain.RequestCount("/target");
        Outcome outcome = Fetch(session, url);
        if (c.followed) {
            EXPECT_EQ(outcome.status, 200u);
            EXPECT_EQ(outcome.body, "target");
        } else {
            EXPECT_EQ(outcome.openError, ERROR_HTTP_INVALID_SERVER_RESPONSE) << Text(outcome.message);
            EXPECT_EQ(plain.RequestCount("/target"), plainTargets);
        }
    }
}

TEST_F(InternetSessionTest, TheStopConditionEndsEveryWaitWithinAQuarterSecond)
{
    TestCertificates::TrustAuthority();
    // No time-out of the session would end any of these.
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, INFINITE);
    session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INFINITE);
    std::atomic<bool> stop = false;
    session.SetStopCondition([&stop] { return stop.load(); });
    TestServer plain;
    TestServer secure(TestServer::Https);
    std::string line(200, 'v');
    secure.Route("/headers", Reply::Body(line).TrickleHeaders(1s, 30));
    secure.Route("/body", Reply::Body(line).TrickleBody(1s));
    secure.Route("/stall", Reply::Body(line).StallBeforeHeaders(60s));
    secure.Route("/stall-in-body", Reply::Body(line).StallAfter(10, 60s));
    std::wstring handshake = plain.WideUrl(L"/a");
    handshake.replace(0, 4, L"https");  // a plain server never answers the TLS hello
    struct Case {
        const char* name;
        std::wstring url;
        bool duringOpen;
    } cases[] = {
        {"header lines one a second", secure.WideUrl(L"/headers"), true},
        {"a line a byte a second", secure.WideUrl(L"/body"), false},
        {"stall before the headers", secure.WideUrl(L"/stall"), true},
        {"stall in the body", secure.WideUrl(L"/stall-in-body"), false},
        {"stall in the handshake", handshake, true},
    };
    // Offsets from the start of the wait that fall between the reads of the condition.
    const std::chrono::milliseconds offsets[] = {37ms, 180ms, 410ms, 777ms};
    for (const Case& c : cases) {
        for (std::chrono::milliseconds offset : offsets) {
            SCOPED_TRACE(std::string(c.name) + ", stop after " + std::to_string(offset.count()) + " ms");
            stop = false;
            Clock::time_point stopped;
            std::thread stopper;
            auto stopLater = [&] {
                stopper = std::thread([&stop, &stopped, offset] {
                    std::this_thread::sleep_for(offset);
                    stopped = Clock::now();
                    stop = true;
                });
            };
            std::optional<DWORD> error;
            bool opened = false;
            if (c.duringOpen)
                stopLater();
            try {
                std::unique_ptr<CStdioFile> file(session.OpenURL(c.url.c_str(), 1, kDownloadFlags));
                opened = true;
                if (!c.duringOpen)
                    stopLater();
                auto* response = dynamic_cast<CHttpFile*>(file.get());
                if (response) {
                    std::string bytes;
                    while (response->ReadString(bytes)) {
                    }
                }
            } catch (const CInternetException& e) {
                error = e.m_dwError;
            }
            Clock::time_point ended = Clock::now();
            bool stopHeld = stop;
            if (stopper.joinable())
                stopper.join();
            EXPECT_EQ(error, ERROR_INTERNET_OPERATION_CANCELLED);
            EXPECT_EQ(opened, !c.duringOpen);
            ASSERT_TRUE(stopHeld);  // the wait ended by the stop, not before it
            EXPECT_LT(ended - stopped, 600ms);
        }
    }
    // A stop that holds before the request keeps it from being made.
    size_t before = secure.Requests().size();
    EXPECT_THROW(delete session.OpenURL(secure.WideUrl(L"/body").c_str()), CInternetException);
    EXPECT_EQ(secure.Requests().size(), before);
}

TEST_F(InternetSessionTest, ReadStringStopsAfterTheLongestLineAsked)
{
    TestServer server;
    server.Route("/lines", Reply::Body("12345\n123456\nrest\n"));
    std::unique_ptr<CHttpFile> response = Open(server.WideUrl(L"/lines"));
    std::string bytes;
    ASSERT_TRUE(response->ReadString(bytes, 5));
    EXPECT_EQ(bytes, "12345");
    ASSERT_TRUE(response->ReadString(bytes, 5));
    EXPECT_EQ(bytes, "123456");  // one byte more than asked: the line is longer
    ASSERT_TRUE(response->ReadString(bytes, 5));
    EXPECT_EQ(bytes, "");  // the rest of that line
    ASSERT_TRUE(response->ReadString(bytes, 5));
    EXPECT_EQ(bytes, "rest");
    EXPECT_FALSE(response->ReadString(bytes, 5));
}
