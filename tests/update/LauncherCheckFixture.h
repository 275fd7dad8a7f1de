// The self-update worker run against a test server standing at the launcher list's base address,
// with its notifications, boxes and update path; the launcher check's tests and the hostile
// server's tests share it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/CLauncherStateScope.h"
#include "update/CUpdateBaseUrlScope.h"
#include "update/UpdateAddresses.h"

class LauncherCheckFixture : public ::testing::Test {
protected:
    LauncherCheckFixture()
    {
        TestCertificates::TrustAuthority();
        updatePath = WideToUtf8(LauncherUpdatePath(GetModuleFilePath()).str());
    }
    ~LauncherCheckFixture() override { std::filesystem::remove(updatePath); }

    // Runs the self-update worker to its end, as the self-update window starts it.
    void RunCheck(bool running = true)
    {
        CUpdateManager manager;
        if (running) {
            manager.StartWorker(window.hwnd, LauncherUpdateThreadProc, ProgressReports::On);
            ASSERT_TRUE(RunLoopUntil([&] {
                return window.Count(UN_FAILED) + window.Count(UN_LAUNCHER_CURRENT) > 0;
            }));
            WaitForSingleObject(UpdateTestAccess::Thread(manager), INFINITE);
        } else {
            // A manager whose running flag is clear: the procedure on this thread.
            UpdateTestAccess::NotifyWindow(manager) = window.hwnd;
            LauncherUpdateThreadProc(&manager);
        }
        fileListUrl = UpdateTestAccess::FileListUrl(manager).str();
        patchUrl = UpdateTestAccess::PatchUrl(manager).str();
    }

    static std::string List(const std::string& version, const std::string& launcher = "https://h/new.exe")
    {
        return version + "\n" + launcher + "\nhttps://h/list/\nhttps://h/patch/\nhttps://h/web/index.html\n";
    }

    CLauncherState state;
    CLauncherStateScope stateScope{state};
    TemporaryFolder folder;
    BoxRecorder boxes;
    NotifyRecorder window;
    TestServer server{TestServer::Https};
    std::wstring baseUrl = server.WideUrl(L"/zorv/patch_v3/");
    CUpdateBaseUrlScope baseUrlScope{baseUrl.c_str()};
    std::string updatePath;
    std::wstring fileListUrl, patchUrl;
};
