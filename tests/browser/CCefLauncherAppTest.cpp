// The application object and the script handler on their own; their work in real pages is in
// LauncherPageTest.cpp.
#include <gtest/gtest.h>
#include <jsc/jsc.h>

#include <string>
#include <vector>

#include "browser/CCefLauncherApp.h"
#include "browser/CCefLauncherV8Handler.h"
#include "platform/cef/CefRefCounted.h"
#include "platform/cef/CefV8Context.h"
#include "platform/win/GObjectPtr.h"

namespace {

// Writes down the messages sent through it.
class RecordingBrowser : public CefRefCounted<CefBrowser> {
public:
    CefRefPtr<CefFrame> GetMainFrame() override { return nullptr; }
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == this; }
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override
    {
        EXPECT_EQ(target, PID_BROWSER);
        sent.push_back(message->GetName().ToString() + "(" + message->GetArgumentList()->GetString(0).ToString() + ")");
        return true;
    }

    std::vector<std::string> sent;
};

TEST(CCefLauncherApp, AppendsTheTwoSwitchesInOrderWhateverTheProcessType)
{
    for (const char* processType : {"", "renderer", "gpu-process", "unknown"}) {
        CefRefPtr<CCefLauncherApp> application = new CCefLauncherApp;
        CefRefPtr<CefCommandLine> commandLine = new CefCommandLine({"ZorvLauncher.exe", "--type=x"});
        application->OnBeforeCommandLineProcessing(processType, commandLine);
        std::vector<std::string> expected = {"ZorvLauncher.exe", "--type=x", "--disable-extensions",
                                             "--force-device-scale-factor=1"};
        EXPECT_EQ(commandLine->GetArgv(), expected) << processType;
    }
}

TEST(CCefLauncherApp, CountsReferencesAndIsDeletedByTheLastRelease)
{
    auto* application = new CCefLauncherApp;
    application->AddRef();
    application->AddRef();
    EXPECT_FALSE(application->Release());
    EXPECT_TRUE(application->HasOneRef());
    EXPECT_TRUE(application->Release());
}

TEST(CCefLauncherV8Handler, CountsReferencesAndIsDeletedByTheLastRelease)
{
    auto* handler = new CCefLauncherV8Handler;
    handler->AddRef();
    handler->AddRef();
    EXPECT_FALSE(handler->Release());
    EXPECT_TRUE(handler->HasOneRef());
    EXPECT_TRUE(handler->Release());
}

TEST(CCefLauncherV8Handler, OutsideAScriptContextAValidCallSendsNothingAndAnswersFalse)
{
    GObjectPtr<JSCContext> script(jsc_context_new());
    CefRefPtr<CefV8Value> argument = new CefV8Value(GObjectPtr<JSCValue>(jsc_value_new_string(script.get(), "parameter")).get());
    CefRefPtr<RecordingBrowser> browser = new RecordingBrowser;
    CefRefPtr<CCefLauncherV8Handler> handler = new CCefLauncherV8Handler;
    CefRefPtr<CefV8Value> retval;
    CefString exception;

    // The same call in a context reaches the context's browser.
    CefRefPtr<CefV8Context> context = new CefV8Context(script.get(), browser);
    context->Enter();
    EXPECT_FALSE(handler->Execute("StartGame", nullptr, {argument}, retval, exception));
    context->Exit();
    EXPECT_EQ(browser->sent, std::vector<std::string>{"StartGame(parameter)"});

    browser->sent.clear();
    EXPECT_FALSE(handler->Execute("StartGame", nullptr, {argument}, retval, exception));
    EXPECT_FALSE(handler->Execute("OpenWeb", nullptr, {argument}, retval, exception));
    EXPECT_TRUE(browser->sent.empty());
    EXPECT_FALSE(retval);
    EXPECT_TRUE(exception.empty());
}

}  // namespace
