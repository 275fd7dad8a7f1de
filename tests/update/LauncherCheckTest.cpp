#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

class LauncherCheckTest : public LauncherCheckFixture {};

TEST_F(LauncherCheckTest, TheUpdatePathReplacesEveryLowerCaseExe)
{
    EXPECT_EQ(LauncherUpdatePath(L"/opt/zorv/ZorvLauncher.exe"), L"/opt/zorv/ZorvLauncher_update.exe");
    EXPECT_EQ(LauncherUpdatePath(L"/opt/a.exe.d/ZorvLauncher.exe"), L"/opt/a_update.exe.d/ZorvLauncher_update.exe");
    EXPECT_EQ(LauncherUpdatePath(L"/opt/ZorvLauncher.EXE"), L"/opt/ZorvLauncher.EXE");
    // This test program is named with ".exe", so it has an update path of its own.
    EXPECT_NE(updatePath, WideToUtf8(GetModuleFilePath()));
}

TEST_F(LauncherCheckTest, TheCurrentVersionStoresTheAddressesAndPostsCurrent)
{
    server.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Body(List("0.0.0.6") + "ignored sixth line\n"));
    std::ofstream(updatePath) << "left from an earlier run";
    RunCheck();
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_LAUNCHER_CURRENT}));
    EXPECT_EQ(fileListUrl, L"https://h/list/");
    EXPECT_EQ(patchUrl, L"https://h/patch/");
    EXPECT_EQ(state.m_strWebUrl, L"https://h/web/index.html");
    EXPECT_FALSE(std::filesystem::exists(updatePath));
    EXPECT_TRUE(boxes.Boxes().empty());
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Cache-Control"), "no-cache");
}

TEST_F(LauncherCheckTest, EveryOutcomeSendsItsMessagesInOrder)
{
    server.Route("/new.exe", Reply::Body("#!/bin/sh\necho new launcher\n"));
    struct Case {
        const char* name;
        Reply list;
        std::vector<WPARAM> codes;
        bool updateFetched;
        bool addressesStored;
        size_t boxCount;
    } cases[] = {
        {"newer", Reply::Body(List("0.0.0.7", WideToUtf8(server.WideUrl(L"/new.exe")))),
         {UN_LAUNCHER_UPDATING, UN_LAUNCHER_DOWNLOADED, UN_FAILED}, true, true, 0},
        {"older", Reply::Body(List("0.0.0.5", WideToUtf8(server.WideUrl(L"/new.exe")))),
         {UN_LAUNCHER_UPDATING, UN_LAUNCHER_DOWNLOADED, UN_FAILED}, true, true, 0},
        {"blank after the version", Reply::Body(List("0.0.0.6 ", WideToUtf8(server.WideUrl(L"/new.exe")))),
         {UN_LAUNCHER_UPDATING, UN_LAUNCHER_DOWNLOADED, UN_FAILED}, true, true, 0},
        {"byte-order mark", Reply::Body(List("\xef\xbb\xbf" "0.0.0.6", WideToUtf8(server.WideUrl(L"/new.exe")))),
         {UN_LAUNCHER_UPDATING, UN_LAUNCHER_DOWNLOADED, UN_FAILED}, true, true, 0},
        {"crlf lines", Reply::Body("0.0.0.6\r\nx\r\nhttps://h/list/\r\nhttps://h/patch/\r\nhttps://h/web/index.html\r\n"),
         {UN_LAUNCHER_CURRENT}, false, true, 0},
        {"launcher not fetched", Reply::Body(List("0.0.0.7", WideToUtf8(server.WideUrl(L"/gone.exe")))),
         {UN_LAUNCHER_UPDATING, UN_FAILED}, false, true, 1},
        {"four lines", Reply::Body("0.0.0.6\na\nb\nc\n"), {UN_FAILED}, false, false, 0},
        {"list not found", Reply::Status(404), {UN_FAILED}, false, false, 1},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Route("/zorv/patch_v3/LauncherUpdate.txt", c.list);
        window.received.clear();
        state.m_strWebUrl.Empty();
        size_t boxesBefore = boxes.Boxes().size();
        RunCheck();
        // The new launcher's download reports its byte progress too.
        EXPECT_EQ(window.CodesWithoutProgress(), c.codes);
        EXPECT_EQ(std::filesystem::exists(updatePath), c.updateFetched);
        EXPECT_EQ(!fileListUrl.empty() && !state.m_strWebUrl.IsEmpty(), c.addressesStored);
        EXPECT_EQ(boxes.Boxes().size() - boxesBefore, c.boxCount);
        std::filesystem::remove(updatePath);
    }
    EXPECT_EQ(boxes.Boxes().back().text, L"Http Error: 404, /zorv/patch_v3/LauncherUpdate.txt");
}

// The launcher list is judged as the page is: signed by the trusted authority is not enough for a
// certificate that is not fit for a server.
TEST_F(LauncherCheckTest, TheListIsFetchedOnlyFromAServerWithAServersCertificate)
{
    struct Case {
        const char* name;
        TestServer::Scheme scheme;
        const char* reason;  // in the box; none when the list is fetched
    } cases[] = {
        {"fit for a server", TestServer::Https, nullptr},
        {"meant for clients only", TestServer::HttpsClientAuthOnly, "purpose"},
        {"a 1024-bit RSA key", TestServer::HttpsWeakKey, "too weak"},
        {"the host in the common name only", TestServer::HttpsCommonNameOnly, "mismatch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer listServer(c.scheme);
        listServer.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Body(List("0.0.0.6")));
        std::wstring listBase = listServer.WideUrl(L"/zorv/patch_v3/");
        CUpdateBaseUrlScope listScope(listBase.c_str());
        window.received.clear();
        std::size_t boxesBefore = boxes.Boxes().size();
        RunCheck();
        auto shown = boxes.Boxes();
        if (!c.reason) {
            EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_LAUNCHER_CURRENT}));
            EXPECT_EQ(shown.size(), boxesBefore);
            continue;
        }
        EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FAILED}));
        ASSERT_EQ(shown.size(), boxesBefore + 1);
        EXPECT_EQ(shown.back().caption, L"OpenURL Exception");
        EXPECT_NE(WideToUtf8(shown.back().text).find(c.reason), std::string::npos) << WideToUtf8(shown.back().text);
        EXPECT_EQ(listServer.Requests().size(), 0u);
    }
}

TEST_F(LauncherCheckTest, AStoppedManagerTouchesNothing)
{
    server.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Body(List("0.0.0.6")));
    std::ofstream(updatePath) << "kept";
    RunCheck(false);
    EXPECT_EQ(window.Codes(), (std::vector<WPARAM>{UN_FAILED}));
    EXPECT_TRUE(std::filesystem::exists(updatePath));
    EXPECT_EQ(server.Requests().size(), 0u);
}

}  // namespace
