// Every skinned window of the launcher has its skin's shape from its first map on: a shape set
// late shows on some runs only, so each window is run twenty times.
#include <gtest/gtest.h>

#include <cairo.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/CBaseDlg.h"
#include "app/CExecutableUpdateDlg.h"
#include "app/CLauncherDlg.h"
#include "app/CLauncherUpdateDlg.h"
#include "browser/CCefLauncherApp.h"
#include "platform/cef/CefApp.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/GdiObjectPtr.h"
#include "platform/win/Regions.h"
#include "platform/win/Text.h"
#include "res/resource.h"
#include "tests/app/SkinnedDialog.h"
#include "tests/app/UpdateWindowTestSupport.h"
#include "tests/support/FirstMapWatcher.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"
#include "tests/update/UpdateTestAccess.h"
#include "update/CLauncherStateScope.h"
#include "update/CUpdateBaseUrlScope.h"
#include "update/CUpdateManager.h"

namespace {

// The shape a skin bitmap gives its window.
CairoPtr<cairo_region_t> SkinShape(UINT bitmap)
{
    CBitmap skin;
    skin.LoadBitmap(bitmap);
    GdiObjectPtr<HRGN__> region(CBaseDlg::CreateRegionFromBitmap(skin));
    return CairoPtr<cairo_region_t>(cairo_region_copy(RegionOf(region.get())));
}

// One window's run: its dialog made with what the fixture serves, run under the watcher.
using ShapedRun = std::function<::testing::AssertionResult(const cairo_region_t* shape, CUpdateManager& manager)>;

struct ShapedWindow {
    const char* name;
    UINT skin;
    ShapedRun run;
};

void PrintTo(const ShapedWindow& window, std::ostream* out)
{
    *out << window.name;
}

class FirstMapShapeTest : public ::testing::TestWithParam<ShapedWindow> {
protected:
    void SetUp() override
    {
        TestCertificates::TrustAuthority();
        setenv("ZORV_WEB_EXTENSION_DIR", ZORV_WEB_EXTENSION_DIR, 1);
        CefSettings settings;
        settings.locale = "zh-CN";
        ASSERT_TRUE(CefInitialize(CefMainArgs(nullptr), settings, new CCefLauncherApp, nullptr));
        m_server.Route("/", Reply::Page("<html><body>page</body></html>"));
        // The update windows' workers wait on their lists until their managers stop them.
        m_server.Route("/zorv/patch_v3/LauncherUpdate.txt", EndlessListHead());
        m_server.Route("/list/ExecutableFileList.txt", EndlessListHead());
        LauncherState().m_strWebUrl = Utf8ToWide(m_server.Url("/")).c_str();
    }

    void TearDown() override { CefShutdown(); }

    CLauncherState m_state;
    CLauncherStateScope m_stateScope{m_state};
    BoxRecorder m_boxes;
    TestServer m_server{TestServer::Https};
    std::wstring m_baseUrl = m_server.WideUrl(L"/zorv/patch_v3/");
    CUpdateBaseUrlScope m_baseUrlScope{m_baseUrl.c_str()};
};

TEST_P(FirstMapShapeTest, TheWindowHasItsSkinsShapeFromItsFirstMap)
{
    CairoPtr<cairo_region_t> shape = SkinShape(GetParam().skin);
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        CUpdateManager manager;
        UpdateTestAccess::FileListUrl(manager) = m_server.WideUrl(L"/list/").c_str();
        UpdateTestAccess::PatchUrl(manager) = m_server.WideUrl(L"/patch/").c_str();
        EXPECT_TRUE(GetParam().run(shape.get(), manager));
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

template <class Dialog>
::testing::AssertionResult RunUpdateWindow(const cairo_region_t* shape, CUpdateManager& manager)
{
    Dialog dialog(&manager);
    return ShapedFromItsFirstMap(dialog, shape);
}

const ShapedWindow kWindows[] = {
    {"SkinnedBase", IDB_UPDATE_BACKGROUND,
     [](const cairo_region_t* shape, CUpdateManager&) {
         SkinnedDialog dialog;
         return ShapedFromItsFirstMap(dialog, shape);
     }},
    {"SelfUpdate", IDB_UPDATE_BACKGROUND, RunUpdateWindow<CLauncherUpdateDlg>},
    {"ClientUpdate", IDB_UPDATE_BACKGROUND, RunUpdateWindow<CExecutableUpdateDlg>},
    {"Main", IDB_LAUNCHER_BACKGROUND,
     [](const cairo_region_t* shape, CUpdateManager&) {
         CLauncherDlg dialog;
         LauncherState().m_pLauncherDlg = &dialog;
         ::testing::AssertionResult result = ShapedFromItsFirstMap(dialog, shape);
         LauncherState().m_pLauncherDlg = nullptr;
         return result;
     }},
};

INSTANTIATE_TEST_SUITE_P(SkinnedWindows, FirstMapShapeTest, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<ShapedWindow>& info) { return std::string(info.param.name); });

}  // namespace
