#include "app/CLauncherApp.h"

#include <cstdlib>
#include <cwchar>
#include <memory>

#include "app/CExecutableUpdateDlg.h"
#include "app/CLauncherDlg.h"
#include "app/CLauncherUpdateDlg.h"
#include "app/GameStart.h"
#include "browser/CCefLauncherApp.h"
#include "platform/cef/CefApp.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Shell.h"
#include "platform/win/SpecialFolders.h"
#include "update/CUpdateManager.h"

CLauncherApp theApp;

namespace {

constexpr const wchar_t* kCacheSuffix = L"\\AppData\\Local\\Temp\\Quelm\\Launcher";
constexpr const wchar_t* kGameFolderSuffix = L"\\vrex_lom\\";

// The user's My Documents followed by "\vrex_lom\", or empty when it cannot be determined.
CString GameFolder()
{
    if (FAILED(CoInitialize(nullptr)))
        return CString();
    IMalloc* allocator = nullptr;
    LPITEMIDLIST documents = nullptr;
    wchar_t path[MAX_PATH] = {};
    bool found = SUCCEEDED(SHGetMalloc(&allocator)) &&
                 SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &documents)) &&
                 SHGetPathFromIDListW(documents, path);
    if (documents)
        allocator->Free(documents);
    if (allocator)
        allocator->Release();
    if (!found) {
        CoUninitialize();
        return CString();
    }
    return CString(path) + kGameFolderSuffix;
}

}  // namespace

BOOL CLauncherApp::InitInstance()
{
    CWinApp::InitInstance();
    CefEnableHighDPISupport();
    CefMainArgs mainArgs(nullptr);
    CefRefPtr<CCefLauncherApp> application(new CCefLauncherApp);

    int exitCode = CefExecuteProcess(mainArgs, application.get(), nullptr);
    if (exitCode >= 0) {
        // A sub-process of the engine: it has run inside that call.
        application = nullptr;
        std::exit(exitCode);
    }

    auto settings = std::make_unique<CefSettings>();
    settings->no_sandbox = 1;
    settings->multi_threaded_message_loop = 1;
    settings->locale = CefString(L"zh-CN");
    wchar_t profile[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, profile, CSIDL_PROFILE, FALSE))
        settings->cache_path = CefString((CString(profile) + kCacheSuffix).GetString());
    settings->log_severity = LOGSEVERITY_DISABLE;
    CefInitialize(mainArgs, *settings, application.get(), nullptr);
    m_bEngineInitialized = true;

    SetRegistryKey(L"Quelm Applications");

    CString gameFolder = GameFolder();
    if (!gameFolder.IsEmpty()) {
        if (!PathIsDirectoryW(gameFolder))
            CreateDirectoryW(gameFolder, nullptr);
        SetCurrentDirectoryW(gameFolder);
    }

    CLauncherState& state = LauncherState();
    auto manager = std::make_unique<CUpdateManager>();
    auto updateDialog = std::make_unique<CLauncherUpdateDlg>(manager.get());
    std::unique_ptr<CLauncherDlg> launcherDialog;
    std::unique_ptr<CExecutableUpdateDlg> clientDialog;
    if (updateDialog->DoModal() == IDR_LAUNCHER_CURRENT) {
        launcherDialog = std::make_unique<CLauncherDlg>();
        state.m_pLauncherDlg = launcherDialog.get();
        if (launcherDialog->DoModal() == IDR_START_GAME) {
            clientDialog = std::make_unique<CExecutableUpdateDlg>(manager.get());
            if (clientDialog->DoModal() == IDR_FILES_CURRENT) {
                state.m_strStartParam = BuildGameParameters(state.m_strStartParam, GetModuleDirectory());
                ShellExecuteW(nullptr, L"open", L"Zorv.exe", state.m_strStartParam, nullptr, SW_SHOWNORMAL);
            }
        }
    }

    clientDialog.reset();
    state.m_pLauncherDlg = nullptr;
    launcherDialog.reset();
    updateDialog.reset();
    manager.reset();
    settings.reset();
    application = nullptr;
    return FALSE;
}

int CLauncherApp::ExitInstance()
{
    if (m_bEngineInitialized)
        CefShutdown();
    return CWinApp::ExitInstance();
}
