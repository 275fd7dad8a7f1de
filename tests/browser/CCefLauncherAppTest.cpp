// The application object and the script handler on their own; their work in real pages is in
// LauncherPageTest.cpp.
#include <gtest/gtest.h>

#include "browser/CCefLauncherApp.h"
#include "browser/CCefLauncherV8Handler.h"

namespace {

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

TEST(CCefLauncherApp, IsItsOwnHandlerWithOneCountForAllItsInterfaces)
{
    auto* application = new CCefLauncherApp;
    CefRefPtr<CefApp> held = application;
    EXPECT_TRUE(application->HasOneRef());
    {
        CefRefPtr<CefBrowserProcessHandler> browserSide = application->GetBrowserProcessHandler();
        CefRefPtr<CefRenderProcessHandler> rendererSide = application->GetRenderProcessHandler();
        EXPECT_EQ(dynamic_cast<CCefLauncherApp*>(browserSide.get()), application);
        EXPECT_EQ(dynamic_cast<CCefLauncherApp*>(rendererSide.get()), application);
        EXPECT_FALSE(application->HasOneRef());
    }
    EXPECT_TRUE(application->HasOneRef());
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

TEST(CCefLauncherV8Handler, OutsideAScriptContextSendsNothingAndAnswersFalse)
{
    CefRefPtr<CCefLauncherV8Handler> handler = new CCefLauncherV8Handler;
    CefRefPtr<CefV8Value> retval;
    CefString exception;
    EXPECT_FALSE(handler->Execute("StartGame", nullptr, {}, retval, exception));
    EXPECT_FALSE(retval);
    EXPECT_TRUE(exception.empty());
}

}  // namespace
