// Real web views under a real GTK window, loading pages from a server on 127.0.0.1, with the
// probe extension (TestWebProcessApp.cpp) in their web processes.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/cef/CefApp.h"
#include "platform/cef/CefBrowserHost.h"
#include "platform/cef/CefClient.h"
#include "platform/cef/CefEngine.h"
#include "platform/cef/CefMessageQueue.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/win/GObjectPtr.h"
#include "tests/platform/cef/BrowserTestWindow.h"
#include "tests/support/RefusedPort.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"

namespace {

struct ReceivedMessage {
    std::string name;
    std::vector<std::string> arguments;
};

struct PopupRequest {
    std::string url;
    cef_window_open_disposition_t disposition;
};

struct LoadFailure {
    int code;
    std::string text;
    std::string url;
};

// Records what the engine reports. A load failure is answered with a small page of its own.
class RecordingClient : public CefRefCounted<CefClient>, public CefLifeSpanHandler, public CefLoadHandler {
public:
    explicit RecordingClient(bool* deleted = nullptr) : m_deleted(deleted) {}
    ~RecordingClient() override
    {
        if (m_deleted)
            *m_deleted = true;
    }

    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }

    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override
    {
        EXPECT_EQ(source, PID_RENDERER);
        EXPECT_TRUE(created && created->IsSame(browser));
        ReceivedMessage received{message->GetName().ToString(), {}};
        CefRefPtr<CefListValue> list = message->GetArgumentList();
        for (std::size_t i = 0; i < list->GetSize(); ++i)
            received.arguments.push_back(list->GetString(i).ToString());
        messages.push_back(received);
        return true;
    }

    bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, const CefString& targetUrl, const CefString&,
                       cef_window_open_disposition_t disposition, bool, const CefPopupFeatures&, CefWindowInfo&,
                       CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) override
    {
        EXPECT_TRUE(frame);
        popups.push_back({targetUrl.ToString(), disposition});
        return true;
    }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override { created = browser; }
    bool DoClose(CefRefPtr<CefBrowser>) override
    {
        ++closeRequests;
        return keepOnClose;
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override
    {
        EXPECT_TRUE(created && created->IsSame(browser));
        ++closes;
        created = nullptr;
    }

    void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode code, const CefString& text,
                     const CefString& url) override
    {
        failures.push_back({code, text.ToString(), url.ToString()});
        frame->LoadString("<html><body>failure page</body></html>", url);
    }

    CefRefPtr<CefBrowser> created;
    std::vector<ReceivedMessage> messages;
    std::vector<PopupRequest> popups;
    std::vector<LoadFailure> failures;
    int closeRequests = 0;
    int closes = 0;
    bool keepOnClose = false;

private:
    bool* m_deleted;
};

// Appends a switch in the browser process.
class SwitchApp : public CefRefCounted<CefApp> {
public:
    SwitchApp(std::string name, std::string value) : m_name(std::move(name)), m_value(std::move(value)) {}
    void OnBeforeCommandLineProcessing(const CefString& processType, CefRefPtr<CefCommandLine> commandLine) override
    {
        EXPECT_TRUE(processType.empty());
        commandLine->AppendSwitchWithValue(m_name, m_value);
    }

private:
    std::string m_name;
    std::string m_value;
};

constexpr int kX = 390, kY = 215, kWidth = 682, kHeight = 404;

class CefBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("GDK_SCALE", "1", 1);  // as the launcher's main sets it
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        setenv("ZORV_WEB_EXTENSION_DIR", ZORV_TEST_WEB_EXTENSION_DIR, 1);
    }

    void TearDown() override
    {
        m_window.reset();
        CefShutdown();
    }

    void StartEngine(const CefSettings& settings = CefSettings(), CefRefPtr<CefApp> application = nullptr)
    {
        ASSERT_TRUE(CefInitialize(CefMainArgs(nullptr), settings, application, nullptr));
    }

    // A browser on url in a new window; waits until the page has loaded.
    void Open(const std::string& url, CefRefPtr<CefClient> client)
    {
        m_window = std::make_unique<BrowserTestWindow>();
        CefWindowInfo info;
        info.style = 0x56010000;  // WS_CHILD, WS_VISIBLE, WS_CLIPCHILDREN, WS_CLIPSIBLINGS, WS_TABSTOP
        info.x = kX;
        info.y = kY;
        info.width = kWidth;
        info.height = kHeight;
        info.parent_window = m_window->Handle();
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, client, url, CefBrowserSettings(), nullptr));
        ASSERT_TRUE(View());
        ASSERT_TRUE(WaitForLoad(View(), url));
    }

    WebKitWebView* View() const { return m_window ? m_window->WebView() : nullptr; }
    std::string Evaluate(const std::string& script) const { return EvaluateScript(View(), script); }

    TestServer m_server;
    std::unique_ptr<BrowserTestWindow> m_window;
};

TEST_F(CefBrowserTest, EveryFrameGetsAScriptContextWhoseMessagesReachTheClient)
{
    m_server.Route("/", Reply::Page("<iframe src='/frame'></iframe>"
                                    "<script>probe.send('OpenWeb', 'main')</script>"));
    m_server.Route("/frame", Reply::Page("<script>probe.send('StartGame', 'frame')</script>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    ASSERT_TRUE(RunLoopUntil([&] { return client->messages.size() == 2; }));
    std::vector<std::string> seen;
    for (const ReceivedMessage& message : client->messages) {
        ASSERT_EQ(message.arguments.size(), 1u);
        seen.push_back(message.name + ":" + message.arguments[0]);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"OpenWeb:main", "StartGame:frame"}));
    EXPECT_EQ(Evaluate("typeof frames[0].probe.send"), "function");
    // Read-only: page script cannot replace it.
    EXPECT_EQ(Evaluate("probe = 1; typeof probe"), "object");
}

TEST_F(CefBrowserTest, OnlyNamedMessagesWithOneStringLeaveThePage)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    Evaluate("probe.send('', 'x'); probe.send('Ping');"
             "probe.send('Ping', 'a', 'b'); probe.send('Ping', 5); probe.send('Ping', null);"
             "probe.send('Other', 'x'); probe.send('Ping', '中文 \"last\"')");
    ASSERT_TRUE(RunLoopUntil([&] { return client->messages.size() >= 2; }));
    RunLoopFor(std::chrono::milliseconds(200));
    ASSERT_EQ(client->messages.size(), 2u);
    EXPECT_EQ(client->messages[0].name, "Other");
    EXPECT_EQ(client->messages[0].arguments, std::vector<std::string>{"x"});
    EXPECT_EQ(client->messages[1].name, "Ping");
    EXPECT_EQ(client->messages[1].arguments, std::vector<std::string>{"中文 \"last\""});
}

// Runs the main loop inside its first message, as a message box does, while the page runs script
// and until every message it sends has reached the view; notes how deep the handlers went.
class NestingClient : public RecordingClient {
public:
    NestingClient(WebKitWebView** view, std::string script, std::size_t sent)
        : m_view(view), m_script(std::move(script)), m_sent(sent)
    {
        m_viewClass = g_type_class_ref(WEBKIT_TYPE_WEB_VIEW);  // the signal exists from then on
        m_signal = g_signal_lookup("user-message-received", WEBKIT_TYPE_WEB_VIEW);
        m_hook = g_signal_add_emission_hook(m_signal, 0, CountArrival, &m_arrived, nullptr);
    }
    ~NestingClient() override
    {
        g_signal_remove_emission_hook(m_signal, m_hook);
        g_type_class_unref(m_viewClass);
    }

    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId source,
                                  CefRefPtr<CefProcessMessage> message) override
    {
        deepest = std::max(deepest, ++m_depth);
        RecordingClient::OnProcessMessageReceived(browser, source, message);
        if (messages.size() == 1) {
            EXPECT_EQ(EvaluateScript(*m_view, m_script), "sent");
            EXPECT_TRUE(RunLoopUntil([&] { return m_arrived >= 1 + m_sent; }));
        }
        --m_depth;
        return true;
    }

    int deepest = 0;

private:
    static gboolean CountArrival(GSignalInvocationHint*, guint, const GValue*, gpointer arrived)
    {
        ++*static_cast<std::size_t*>(arrived);
        return TRUE;
    }

    int m_depth = 0;
    WebKitWebView** m_view;
    std::string m_script;
    std::size_t m_sent;
    std::size_t m_arrived = 0;
    gpointer m_viewClass = nullptr;
    guint m_signal = 0;
    gulong m_hook = 0;
};

TEST_F(CefBrowserTest, MessagesThatArriveDuringAHandlerWaitForItWithinBoundsAndKeepTheirOrder)
{
    const std::size_t large = CefMessageQueue::kMaxWaitingBytes / sizeof(wchar_t) / 4;
    struct Case {
        const char* name;
        std::string script;
        std::size_t sent;       // while the first message is handled
        std::size_t delivered;  // after the first message
    } cases[] = {
        {"count", "for (let i = 1; i <= 100; ++i) probe.send('Ping', String(i)); 'sent'", 100,
         CefMessageQueue::kMaxWaiting},
        // A little over a quarter of the bytes each: three wait.
        {"bytes", "for (let i = 1; i <= 6; ++i) probe.send('Ping', String(i).padEnd(" + std::to_string(large) +
                      ")); 'sent'",
         6, 3},
    };
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        WebKitWebView* view = nullptr;
        CefRefPtr<NestingClient> client = new NestingClient(&view, row.script, row.sent);
        Open(m_server.Url("/"), client);
        view = View();
        Evaluate("probe.send('Ping', '0')");
        ASSERT_TRUE(RunLoopUntil([&] { return client->messages.size() > row.delivered; }));
        Evaluate("probe.send('Ping', 'after')");
        ASSERT_TRUE(RunLoopUntil([&] { return client->messages.back().arguments.at(0) == "after"; }));

        EXPECT_EQ(client->deepest, 1);
        ASSERT_EQ(client->messages.size(), row.delivered + 2);
        for (std::size_t i = 0; i <= row.delivered; ++i) {
            std::string argument = client->messages[i].arguments.at(0);
            EXPECT_EQ(argument.substr(0, argument.find(' ')), std::to_string(i));
        }
    }
}

TEST_F(CefBrowserTest, HandledCallsGiveTheReturnValueOrThrowAndOthersGiveUndefined)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    EXPECT_EQ(Evaluate("probe.echo('back')"), "back");
    EXPECT_EQ(Evaluate("String(probe.send('Ping', 'x'))"), "undefined");
    EXPECT_EQ(Evaluate("try { probe.fail('broken'); 'no throw' } catch (e) { 'caught ' + e }"),
              "caught Error: broken");
}

TEST_F(CefBrowserTest, TheViewSitsAtTheRectangleAndTheForcedScaleIsHonoured)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine(CefSettings(), new SwitchApp("force-device-scale-factor", "2"));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    GtkAllocation allocation;
    ASSERT_TRUE(RunLoopUntil([&] {
        gtk_widget_get_allocation(GTK_WIDGET(View()), &allocation);
        return allocation.width == kWidth;
    }));
    EXPECT_EQ(allocation.x, kX);
    EXPECT_EQ(allocation.y, kY);
    EXPECT_EQ(allocation.height, kHeight);
    EXPECT_EQ(Evaluate("String(innerWidth)"), std::to_string(kWidth / 2));
}

TEST_F(CefBrowserTest, TheLocaleIsThePreferredLanguage)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    CefSettings settings;
    settings.locale = "zh-CN";
    StartEngine(settings);
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    EXPECT_EQ(Evaluate("navigator.language"), "zh-CN");
    std::vector<ReceivedRequest> requests = m_server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].Header("Accept-Language").value_or(""), "zh-CN");
    EXPECT_EQ(Evaluate("String(innerWidth)"), std::to_string(kWidth));
}

TEST_F(CefBrowserTest, ACachePathPutsTheEngineDataInTheXdgCacheFolder)
{
    TemporaryFolder cache;
    setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
    struct CacheHomeReset {
        ~CacheHomeReset() { unsetenv("XDG_CACHE_HOME"); }
    } reset;
    m_server.Route("/", Reply::Page("<script>localStorage.setItem('k', 'v')</script>").Header("Cache-Control", "max-age=600"));
    CefSettings settings;
    settings.cache_path = L"C:\\Users\\player\\AppData\\Local\\Temp\\Quelm\\Launcher";
    StartEngine(settings);
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    std::filesystem::path folder = cache.Path() / "Quelm" / "Launcher";
    EXPECT_TRUE(RunLoopUntil([&] { return std::filesystem::is_directory(folder); }));
}

TEST_F(CefBrowserTest, TheWebProcessCommandLineCarriesTheApplicationsSwitches)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    Evaluate("probe.commandLine()");
    ASSERT_TRUE(RunLoopUntil([&] { return !client->messages.empty(); }));
    const std::string& seen = client->messages[0].arguments.at(0);
    EXPECT_TRUE(seen.starts_with("renderer ")) << seen;
    EXPECT_TRUE(seen.ends_with(" --type=renderer --probe-switch")) << seen;
}

TEST_F(CefBrowserTest, AnExtensionOfAnotherBuildInstallsNothing)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    webkit_web_context_set_web_extensions_initialization_user_data(CefEngine::Get()->GetWebContext(),
                                                                   g_variant_new_string("another build"));
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    EXPECT_EQ(Evaluate("typeof probe"), "undefined");
    EXPECT_EQ(Evaluate("document.body.textContent"), "page");
}

TEST_F(CefBrowserTest, NewWindowRequestsReachOnBeforePopupAndCreateNoView)
{
    m_server.Route("/", Reply::Page("<a id='tab' href='/tab' target='_blank'>tab</a>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    Evaluate("document.getElementById('tab').click(); window.open('/popup'); window.open(); 'done'");
    ASSERT_TRUE(RunLoopUntil([&] { return client->popups.size() == 3; }));
    EXPECT_EQ(client->popups[0].url, m_server.Url("/tab"));
    EXPECT_EQ(client->popups[0].disposition, WOD_NEW_FOREGROUND_TAB);
    EXPECT_EQ(client->popups[1].url, m_server.Url("/popup"));
    EXPECT_EQ(client->popups[1].disposition, WOD_NEW_POPUP);
    EXPECT_EQ(client->popups[2].url, "");
    RunLoopFor(std::chrono::milliseconds(300));
    EXPECT_EQ(m_window->WebViews().size(), 1u);
    EXPECT_EQ(webkit_web_view_get_uri(View()), m_server.Url("/"));
    EXPECT_EQ(m_server.RequestCount("/tab") + m_server.RequestCount("/popup"), 0u);
}

TEST_F(CefBrowserTest, LoadFailuresCarryTheFrameworkCodesAndTheFrameShowsTheHandlersPage)
{
    RefusedPort refused;
    struct FailureCase {
        std::string url;
        int code;
    };
    const FailureCase cases[] = {
        {"http://nohost.invalid/page", ERR_NAME_NOT_RESOLVED},
        {refused.Url("/"), ERR_CONNECTION_REFUSED},
    };
    StartEngine();
    for (const FailureCase& row : cases) {
        CefRefPtr<RecordingClient> client = new RecordingClient;
        Open(row.url, client);
        ASSERT_EQ(client->failures.size(), 1u) << row.url;
        EXPECT_EQ(client->failures[0].code, row.code);
        EXPECT_EQ(client->failures[0].url, row.url);
        EXPECT_FALSE(client->failures[0].text.empty());
        EXPECT_EQ(Evaluate("document.body.textContent"), "failure page");
        EXPECT_EQ(webkit_web_view_get_uri(View()), row.url);
    }
}

// Allows certificate (PEM) for 127.0.0.1 in the engine's web context, as a certificate of a system
// authority is: WebKit then loads the page without asking. Returns once the allowance has reached
// the network process (a website data fetch goes its way and is answered after it).
void AllowAhead(const std::string& certificatePem)
{
    GObjectPtr<GTlsCertificate> certificate(g_tls_certificate_new_from_pem(certificatePem.c_str(), -1, nullptr));
    ASSERT_TRUE(certificate);
    WebKitWebContext* context = CefEngine::Get()->GetWebContext();
    webkit_web_context_allow_tls_certificate_for_host(context, certificate.get(), "127.0.0.1");
    bool answered = false;
    webkit_website_data_manager_fetch(
        webkit_web_context_get_website_data_manager(context), WEBKIT_WEBSITE_DATA_COOKIES, nullptr,
        [](GObject* manager, GAsyncResult* result, gpointer answered) {
            GList* records =
                webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result, nullptr);
            g_list_free_full(records, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
            *static_cast<bool*>(answered) = true;
        },
        &answered);
    ASSERT_TRUE(RunLoopUntil([&] { return answered; }));
}

// The page is judged by the downloads' rules (ServerTrust): the system's store and the file named
// by CURL_CA_BUNDLE, else SSL_CERT_FILE; a certificate meant for a server, a key of the system's
// security level, the host in a subjectAltName. Also when WebKit accepted the certificate itself.
TEST_F(CefBrowserTest, APageIsTrustedAsTheDownloadsAre)
{
    using Flaw = TestCertificates::Flaw;
    const TestCertificates& certificates = TestCertificates::Instance();
    TestServer trusted(TestServer::Https);
    TestServer untrusted(TestServer::HttpsUntrusted);
    TestServer clientOnly(TestServer::HttpsClientAuthOnly);
    TestServer weakKey(TestServer::HttpsWeakKey);
    TestServer commonNameOnly(TestServer::HttpsCommonNameOnly);
    for (TestServer* server : {&trusted, &untrusted, &clientOnly, &weakKey, &commonNameOnly})
        server->Route("/", Reply::Page("<head><script>probe.send('Ping', 'loaded')</script></head><body><p>secure</p></body>"));
    std::string authority = certificates.AuthorityFile().string();
    struct Case {
        const char* name;
        const char* curlCaBundle;
        const char* sslCertFile;
        const TestServer& server;
        bool loads;
        const std::string* allowedAhead;  // accepted by WebKit on its own
    } cases[] = {
        {"SSL_CERT_FILE", nullptr, authority.c_str(), trusted, true, nullptr},
        {"CURL_CA_BUNDLE first", authority.c_str(), "/nonexistent.pem", trusted, true, nullptr},
        {"CURL_CA_BUNDLE wins", "/nonexistent.pem", authority.c_str(), trusted, false, nullptr},
        {"system store only", nullptr, nullptr, trusted, false, nullptr},
        {"not signed by the authority", nullptr, authority.c_str(), untrusted, false, nullptr},
        {"meant for clients only", nullptr, authority.c_str(), clientOnly, false, nullptr},
        {"a 1024-bit RSA key", nullptr, authority.c_str(), weakKey, false, nullptr},
        {"the host in the common name only", nullptr, authority.c_str(), commonNameOnly, false, nullptr},
        {"meant for clients only, accepted by WebKit", nullptr, authority.c_str(), clientOnly, false,
         &certificates.FlawedCertificate(Flaw::ClientAuthOnly)},
        {"a 1024-bit RSA key, accepted by WebKit", nullptr, authority.c_str(), weakKey, false,
         &certificates.FlawedCertificate(Flaw::WeakKey)},
    };
    struct EnvironmentReset {
        ~EnvironmentReset()
        {
            unsetenv("CURL_CA_BUNDLE");
            unsetenv("SSL_CERT_FILE");
        }
    } reset;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        // A new engine each time: what one row allowed stays with its web context.
        m_window.reset();
        CefShutdown();
        StartEngine();
        row.curlCaBundle ? setenv("CURL_CA_BUNDLE", row.curlCaBundle, 1) : unsetenv("CURL_CA_BUNDLE");
        row.sslCertFile ? setenv("SSL_CERT_FILE", row.sslCertFile, 1) : unsetenv("SSL_CERT_FILE");
        if (row.allowedAhead)
            AllowAhead(*row.allowedAhead);
        std::size_t served = row.server.RequestCount("/");
        CefRefPtr<RecordingClient> client = new RecordingClient;
        std::string url = row.server.Url("/");
        Open(url, client);
        EXPECT_EQ(webkit_web_view_get_uri(View()), url);
        if (row.loads) {
            ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.body.textContent") == "secure"; }));
            EXPECT_TRUE(client->failures.empty());
            ASSERT_TRUE(RunLoopUntil([&] { return !client->messages.empty(); }));
            EXPECT_EQ(client->messages[0].arguments, std::vector<std::string>{"loaded"});
            continue;
        }
        // Under load WebKit may first report an earlier load it cancelled (-3), which the
        // launcher's client ignores; the certificate's failure follows.
        auto certificateFailure = [&] {
            return std::find_if(client->failures.begin(), client->failures.end(),
                                [](const LoadFailure& f) { return f.code == ERR_CERT_INVALID; });
        };
        ASSERT_TRUE(RunLoopUntil([&] { return certificateFailure() != client->failures.end(); }));
        EXPECT_EQ(certificateFailure()->url, url);
        for (const LoadFailure& failure : client->failures)
            EXPECT_TRUE(failure.code == ERR_CERT_INVALID || failure.code == ERR_ABORTED) << failure.code;
        ASSERT_TRUE(RunLoopUntil([&] { return Evaluate("document.body.textContent") == "failure page"; }));
        // WebKit's own acceptance let the page come and commit; nothing of it reached the client.
        EXPECT_EQ(row.server.RequestCount("/") > served, row.allowedAhead != nullptr);
        Evaluate("probe.send('Ping', 'failure page')");
        ASSERT_TRUE(RunLoopUntil([&] { return !client->messages.empty(); }));
        EXPECT_EQ(client->messages[0].arguments, std::vector<std::string>{"failure page"});
    }
}

// A certificate is allowed for its host and the page reloaded at most twice: should WebKit keep
// refusing it, the page is not loaded again and again but fails.
TEST_F(CefBrowserTest, ACertificateFromTheTrustBundleIsReloadedTwicePerHost)
{
    TestCertificates::TrustAuthority();
    struct EnvironmentReset {
        ~EnvironmentReset() { unsetenv("SSL_CERT_FILE"); }
    } reset;
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open("about:blank", client);
    GObjectPtr<GTlsCertificate> certificate(
        g_tls_certificate_new_from_pem(TestCertificates::Instance().SignedCertificate().c_str(), -1, nullptr));
    ASSERT_TRUE(certificate);
    struct Row {
        const char* url;
        gboolean handled;
    } rows[] = {
        {"https://127.0.0.1:1/a", TRUE},
        {"https://127.0.0.1:2/b", TRUE},
        {"https://127.0.0.1:1/a", FALSE},
        {"https://localhost:1/a", TRUE},
        {"https://127.0.0.2:1/a", FALSE},  // not a name of the certificate
    };
    for (const Row& row : rows) {
        gboolean handled = FALSE;
        g_signal_emit_by_name(View(), "load-failed-with-tls-errors", row.url, certificate.get(),
                              G_TLS_CERTIFICATE_UNKNOWN_CA, &handled);
        EXPECT_EQ(handled, row.handled) << row.url;
        if (!handled)
            continue;
        // The reload waits until the allowance has reached the network process: sent at once, it
        // could get there first and fail again.
        EXPECT_NE(webkit_web_view_get_uri(View()), std::string(row.url));
        EXPECT_TRUE(RunLoopUntil([&] { return webkit_web_view_get_uri(View()) == std::string(row.url); }));
    }
}

TEST_F(CefBrowserTest, TheMainFrameLoadsAnotherAddress)
{
    m_server.Route("/", Reply::Page("<p>first</p>"));
    m_server.Route("/second", Reply::Page("<p>second</p>"));
    StartEngine();
    CefRefPtr<RecordingClient> client = new RecordingClient;
    Open(m_server.Url("/"), client);

    client->created->GetMainFrame()->LoadURL(m_server.Url("/second"));
    ASSERT_TRUE(WaitForLoad(View(), m_server.Url("/second")));
    EXPECT_EQ(Evaluate("document.body.textContent"), "second");
}

TEST_F(CefBrowserTest, AClosedBrowserIsReportedOnceAndTheClientIsReleased)
{
    m_server.Route("/", Reply::Page("<p>page</p>"));
    StartEngine();
    for (bool pageCloses : {true, false}) {
        bool deleted = false;
        {
            CefRefPtr<RecordingClient> client = new RecordingClient(&deleted);
            Open(m_server.Url("/"), client);
            if (pageCloses) {
                client->keepOnClose = true;  // the first close request is taken by the client
                Evaluate("window.close()");
                ASSERT_TRUE(RunLoopUntil([&] { return client->closeRequests == 1; }));
                RunLoopFor(std::chrono::milliseconds(100));
                EXPECT_EQ(m_window->CloseRequests(), 0);
                // The second goes on to the parent window, which ends the browser with itself.
                client->keepOnClose = false;
                Evaluate("window.close()");
                ASSERT_TRUE(RunLoopUntil([&] { return m_window->CloseRequests() == 1; }));
                EXPECT_EQ(client->closeRequests, 2);
                EXPECT_TRUE(View());
                EXPECT_EQ(client->closes, 0);
                m_window->Destroy();
                EXPECT_EQ(client->closes, 1);
            } else {
                m_window->Destroy();
                EXPECT_EQ(client->closes, 1);
            }
            CefRefPtr<CefBrowser> browser = client->created;
            EXPECT_FALSE(browser);
            EXPECT_TRUE(client->HasOneRef());
        }
        EXPECT_TRUE(deleted);
    }
}

TEST_F(CefBrowserTest, NoBrowserWithoutAnEngineOrAParentContainer)
{
    CefRefPtr<RecordingClient> client = new RecordingClient;
    BrowserTestWindow window;
    CefWindowInfo info;
    info.parent_window = window.Handle();
    EXPECT_FALSE(CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings(), nullptr));
    StartEngine();
    info.parent_window = nullptr;
    EXPECT_FALSE(CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings(), nullptr));
    EXPECT_FALSE(client->created);
    EXPECT_TRUE(window.WebViews().empty());
}

}  // namespace
