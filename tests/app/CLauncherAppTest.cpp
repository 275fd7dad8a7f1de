#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/CLauncherApp.h"
#include "tests/app/UpdateWindowTestSupport.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "update/CUpdateBaseUrlScope.h"

namespace {

namespace fs = std::filesystem;

// Start-up in this process, with a throwaway home whose documents folder holds no game folder yet
// and a launcher list that cannot be fetched, so that the chain ends at its first window.
TEST(CLauncherApp, StartUpMakesTheGameFolderInTheDocumentsAndWorksInIt)
{
    TemporaryFolder folder;
    const fs::path home = folder.Path() / "home";
    fs::create_directories(home / "Documents");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);

    TestCertificates::TrustAuthority();
    TestServer server{TestServer::Https};
    server.Route("/zorv/patch_v3/LauncherUpdate.txt", Reply::Status(404));
    const std::wstring baseUrl = server.WideUrl(L"/zorv/patch_v3/");
    CUpdateBaseUrlScope baseUrlScope{baseUrl.c_str()};
    BoxRecorder boxes;

    EXPECT_EQ(theApp.InitInstance(), FALSE);
    theApp.ExitInstance();

    const fs::path gameFolder = home / "Documents" / "vrex_lom";
    EXPECT_TRUE(fs::is_directory(gameFolder));
    EXPECT_EQ(fs::current_path(), gameFolder);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

}  // namespace
