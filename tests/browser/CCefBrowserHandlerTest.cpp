// The browser client called directly, with small stand-ins for the engine's browser and frame:
// what it loads, what it keeps, and what it does with each message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser/CCefBrowserHandler.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/win/MessageBox.h"
#include "tests/support/BoxRecorder.h"
#include "update/CLauncherStateScope.h"

namespace {

class RecordingFrame : public CefRefCounted<CefFrame> {
public:
    void LoadURL(const CefString& url) override { loads.push_back("url " + url.ToString()); }
    void LoadString(const CefString& text, const CefString& url) override
    {
        loads.push_back("text " + text.ToString() + " at " + url.ToString());
    }

    std::vector<std::string> loads;
};

class StandInBrowser : public CefRefCounted<CefBrowser> {
public:
    explicit StandInBrowser(int id) : m_id(id) {}
    CefRefPtr<CefFrame> GetMainFrame() override { return frame; }
    bool IsSame(CefRefPtr<CefBrowser> that) override
    {
        auto* other = dynamic_cast<StandInBrowser*>(that.get());
        return other && other->m_id == m_id;
    }
    bool SendProcessMessage(CefProcessId, CefRefPtr<CefProcessMessage>) override { return false; }

    CefRefPtr<RecordingFrame> frame = new RecordingFrame;

private:
    int m_id;
};

CefRefPtr<CefProcessMessage> Message(const std::string& name, const std::vector<std::wstring>& arguments)
{
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        message->GetArgumentList()->SetString(i, arguments[i]);
    return message;
}

bool Popup(CCefBrowserHandler& handler, CefRefPtr<CefBrowser> browser, const std::string& url,
           cef_window_open_disposition_t disposition)
{
    CefWindowInfo windowInfo;
    CefRefPtr<CefClient> client;
    CefBrowserSettings settings;
    bool noScriptAccess = false;
    return handler.OnBeforePopup(browser, browser->GetMainFrame(), url, "_blank", disposition, true, CefPopupFeatures{},
                                 windowInfo, client, settings, &noScriptAccess);
}

TEST(CCefBrowserHandler, DeclinesEveryOtherMessageName)
{
    CefRefPtr<CCefBrowserHandler> handler = new CCefBrowserHandler;
    CefRefPtr<StandInBrowser> browser = new StandInBrowser(1);
    CLauncherState state;
    CLauncherStateScope stateScope{state};
    LauncherState().m_strStartParam = L"kept";
    for (const char* name : {"startgame", "StartGame ", " OpenWeb", "OPENWEB", "Other", ""})
        EXPECT_FALSE(handler->OnProcessMessageReceived(browser, PID_RENDERER, Message(name, {L"x"}))) << name;
    EXPECT_EQ(LauncherState().m_strStartParam, L"kept");
}

TEST(CCefBrowserHandler, StartGameWithoutAMainWindowAssignsTheParameterUpToItsFirstNul)
{
    // No game window is shown meanwhile (the tests' lock); a box would be written down here.
    BoxRecorder boxes;
    CefRefPtr<CCefBrowserHandler> handler = new CCefBrowserHandler;
    CefRefPtr<StandInBrowser> browser = new StandInBrowser(1);
    CLauncherState state;
    CLauncherStateScope stateScope{state};
    ASSERT_EQ(LauncherState().m_pLauncherDlg, nullptr);
    struct StartCase {
        std::vector<std::wstring> arguments;
        const wchar_t* assigned;
    };
    const StartCase cases[] = {
        {{L"first"}, L"first"},
        {{L"second"}, L"second"},
        {{L""}, L""},
        {{std::wstring(L"cut\0here", 8)}, L"cut"},
        {{L"参数 \"quoted\""}, L"参数 \"quoted\""},
        {{}, L""},
    };
    for (const StartCase& row : cases) {
        LauncherState().m_strStartParam = L"before";
        EXPECT_TRUE(handler->OnProcessMessageReceived(browser, PID_RENDERER, Message("StartGame", row.arguments)));
        EXPECT_EQ(LauncherState().m_strStartParam, row.assigned);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(CCefBrowserHandler, CountsReferencesAndTheLastReleaseDeletesItWithTheBrowsersItKeeps)
{
    CefRefPtr<StandInBrowser> browser = new StandInBrowser(1);
    auto* handler = new CCefBrowserHandler;
    handler->AddRef();
    handler->AddRef();
    handler->OnAfterCreated(browser);
    EXPECT_FALSE(handler->Release());
    EXPECT_TRUE(handler->HasOneRef());
    EXPECT_FALSE(browser->HasOneRef());
    EXPECT_TRUE(handler->Release());
    EXPECT_TRUE(browser->HasOneRef());
}

TEST(CCefBrowserHandler, WebAddressesForANewBrowserLoadInTheMainFrameAndNothingElseLoads)
{
    CefRefPtr<CCefBrowserHandler> handler = new CCefBrowserHandler;
    CefRefPtr<StandInBrowser> browser = new StandInBrowser(1);
    struct PopupCase {
        cef_window_open_disposition_t disposition;
        const char* url;
        bool loaded;
    };
    const PopupCase cases[] = {
        {WOD_NEW_FOREGROUND_TAB, "http://a/1", true},
        {WOD_NEW_BACKGROUND_TAB, "http://a/2", true},
        {WOD_NEW_POPUP, "http://a/3", true},
        {WOD_NEW_WINDOW, "http://a/4", true},
        {WOD_NEW_POPUP, "HTTPS://a/8", true},
        {WOD_NEW_POPUP, "", false},
        {WOD_NEW_POPUP, "file:///home/player/page.html", false},
        {WOD_NEW_FOREGROUND_TAB, "data:text/html,<script>external.StartGame('x')</script>", false},
        {WOD_NEW_WINDOW, "mailto:player@example.com", false},
        {WOD_NEW_POPUP, "javascript:external.StartGame('x')", false},
        {WOD_NEW_POPUP, "about:blank", false},
        {WOD_NEW_BACKGROUND_TAB, "http:relative", false},
        {WOD_NEW_POPUP, "/relative", false},
        {WOD_NEW_POPUP, "http://a/with blank", false},
        {WOD_CURRENT_TAB, "http://a/5", false},
        {WOD_SUPPRESS_OPEN, "http://a/6", false},
        {WOD_UNKNOWN, "http://a/7", false},
    };
    for (const PopupCase& row : cases) {
        browser->frame->loads.clear();
        EXPECT_TRUE(Popup(*handler, browser, row.url, row.disposition));
        std::vector<std::string> expected;
        if (row.loaded)
            expected.push_back(std::string("url ") + row.url);
        EXPECT_EQ(browser->frame->loads, expected) << row.disposition << " " << row.url;
    }
}

TEST(CCefBrowserHandler, AFailedLoadShowsTheErrorPageWithTheAddressAndTextEscaped)
{
    CefRefPtr<CCefBrowserHandler> handler = new CCefBrowserHandler;
    CefRefPtr<StandInBrowser> browser = new StandInBrowser(1);
    CefRefPtr<RecordingFrame> frame = new RecordingFrame;

    handler->OnLoadError(browser, frame, ERR_ABORTED, "cancelled", "http://a/");
    EXPECT_TRUE(frame->loads.empty());

    const std::string url = "http://bad.invalid/<b>?a=1&b='2'\"";
    handler->OnLoadError(browser, frame, ERR_NAME_NOT_RESOLVED, "Error resolving “<bad>” & more", url);
    ASSERT_EQ(frame->loads.size(), 1u);
    EXPECT_EQ(frame->loads[0],
              "text <html><body bgcolor=\"white\"><h2>Failed to load URL "
              "http://bad.invalid/&lt;b&gt;?a=1&amp;b=&apos;2&apos;&quot; with error "
              "Error resolving “&lt;bad&gt;” &amp; more (-105).</h2></body></html> at " + url);

    frame->loads.clear();
    handler->OnLoadError(browser, frame, ERR_CONNECTION_REFUSED, "", "http://a/");
    EXPECT_EQ(frame->loads, std::vector<std::string>{"text <html><body bgcolor=\"white\"><h2>Failed to load URL "
                                                     "http://a/ with error  (-102).</h2></body></html> at http://a/"});
}

TEST(CCefBrowserHandler, KeepsEachCreatedBrowserUntilItsCloseAndReleasesTheRestAtTheEnd)
{
    CefRefPtr<StandInBrowser> first = new StandInBrowser(1);
    CefRefPtr<StandInBrowser> second = new StandInBrowser(2);
    CefRefPtr<StandInBrowser> stranger = new StandInBrowser(3);
    {
        CefRefPtr<CCefBrowserHandler> handler = new CCefBrowserHandler;
        handler->OnAfterCreated(first);
        handler->OnAfterCreated(second);
        handler->OnAfterCreated(first);
        EXPECT_FALSE(first->HasOneRef());

        EXPECT_FALSE(handler->DoClose(first));
        handler->OnBeforeClose(stranger);
        handler->OnBeforeClose(second);
        EXPECT_TRUE(second->HasOneRef());
        handler->OnBeforeClose(first);  // only the first of its two entries goes
        EXPECT_FALSE(first->HasOneRef());
        handler->OnBeforeClose(stranger);
    }
    EXPECT_TRUE(first->HasOneRef());
    EXPECT_TRUE(stranger->HasOneRef());
}

}  // namespace
