#include "app/CLauncherUpdateDlg.h"

#include "app/CLauncherApp.h"
#include "app/UpdatePercent.h"
#include "app/UpdateWindowControls.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Shell.h"
#include "update/CUpdateManager.h"
#include "update/UpdateAddresses.h"

namespace {

constexpr const wchar_t* kCheckingText = L"正在检测登陆器版本...";
constexpr const wchar_t* kUpdatingText = L"正在更新登录器...";

}  // namespace

BOOL CLauncherUpdateDlg::OnInitDialog()
{
    CUpdateDlg::OnInitDialog();

    LayOutControls(kCheckingText);

    // Last, once every control is in place; the download of a new launcher reports progress.
    m_pManager->StartWorker(m_hWnd, LauncherUpdateThreadProc, ProgressReports::On);
    return TRUE;
}

LRESULT CLauncherUpdateDlg::OnUpdateMessage(WPARAM wParam, LPARAM lParam)
{
    const UpdateNotifyRecord record = TakeUpdateNotifyRecord(wParam, lParam);
    switch (static_cast<UpdateNotifyCode>(wParam)) {
    case UN_LAUNCHER_UPDATING:
        ShowLabelText(m_txtStatus, kUpdatingText);
        break;
    case UN_LAUNCHER_DOWNLOADED:
        // The path under which the check stored the download.
        ShellExecuteW(nullptr, L"open", LauncherUpdatePath(GetModuleFilePath()), nullptr, nullptr, SW_SHOWNORMAL);
        SendMessage(WM_CLOSE);
        break;
    case UN_PROGRESS: {
        if (!record.progress)
            break;
        const int percent = IntegerPercent(record.progress->nFileDone, record.progress->nFileSize);
        ShowBarPosition(m_progTotal, percent);
        ShowBarPosition(m_progFile, percent);
        ShowLabelText(m_txtTotal, PercentText(percent));
        ShowLabelText(m_txtFile, PercentText(percent));
        break;
    }
    case UN_LAUNCHER_CURRENT:
        EndDialog(IDR_LAUNCHER_CURRENT);
        break;
    case UN_FAILED:
        SendMessage(WM_CLOSE);
        break;
    case UN_FILE_SUMMARY:
    case UN_FILES_DONE:
        // the client update's codes
        break;
    }
    return 0;
}
