// The launcher update list and the version check, run by the self-update worker.
#include "platform/win/FileSystem.h"
#include "update/CLauncherState.h"
#include "update/CUpdateManager.h"
#include "update/UpdateAddresses.h"

const wchar_t* const kLauncherVersion = L"0.0.0.6";

namespace {

// The lines used; later ones are read but not kept.
constexpr size_t kListLines = 5;

}  // namespace

bool CUpdateManager::CheckLauncherVersion()
{
    if (!m_bRunning)
        return false;
    CString modulePath = GetModuleFilePath();
    CString updatePath = LauncherUpdatePath(modulePath);
    // A path without ".exe" names the running executable itself, which stays.
    if (updatePath != modulePath)
        DeleteFileW(updatePath);

    CString listUrl;
    listUrl.Format(L"%s%s", LauncherUpdateBaseUrl(), L"LauncherUpdate.txt");
    std::vector<CString> lines;
    if (!DownloadLines(listUrl, lines, kListLines) || lines.size() < kListLines)
        return false;

    m_strFileListUrl = lines[2];
    m_strPatchUrl = lines[3];
    LauncherState().m_strWebUrl = lines[4];
    if (lines[0] == kLauncherVersion)
        return true;

    Send(UN_LAUNCHER_UPDATING);
    if (DownloadToFile(lines[1], updatePath))
        Send(UN_LAUNCHER_DOWNLOADED);
    return false;
}

unsigned LauncherUpdateThreadProc(void* argument)
{
    auto* manager = static_cast<CUpdateManager*>(argument);
    if (manager->CheckLauncherVersion())
        manager->Post(UN_LAUNCHER_CURRENT);
    else
        manager->Send(UN_FAILED);
    return 0;
}
