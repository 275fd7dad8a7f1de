#include "app/CExecutableUpdateDlg.h"

#include "app/CLauncherApp.h"
#include "app/UpdatePercent.h"
#include "app/UpdateWindowControls.h"
#include "update/CUpdateManager.h"

namespace {

constexpr const wchar_t* kCheckingText = L"正在检测客户端版本...";
constexpr const wchar_t* kUpdatingText = L"正在更新客户端...";
constexpr const wchar_t* kDoneText = L"更新完成，即将启动游戏";

}  // namespace

BOOL CExecutableUpdateDlg::OnInitDialog()
{
    CUpdateDlg::OnInitDialog();

    // The flag is off before the thread exists, so the transfer of the file list reports no
    // progress. The worker's messages wait until this function has returned.
    m_pManager->StartWorker(m_hWnd, ClientUpdateThreadProc, ProgressReports::OffUntilSummary);

    LayOutControls(kCheckingText);
    return TRUE;
}

LRESULT CExecutableUpdateDlg::OnUpdateMessage(WPARAM wParam, LPARAM lParam)
{
    const UpdateNotifyRecord record = TakeUpdateNotifyRecord(wParam, lParam);
    switch (static_cast<UpdateNotifyCode>(wParam)) {
    case UN_FILE_SUMMARY:
        // The worker waits in its send, so the flag is on before its first download.
        m_pManager->TurnProgressReportsOn();
        ShowLabelText(m_txtStatus, kUpdatingText);
        break;
    case UN_FILES_DONE:
        ShowLabelText(m_txtStatus, kDoneText);
        ShowBarPosition(m_progTotal, 100);
        ShowBarPosition(m_progFile, 100);
        ShowLabelText(m_txtTotal, PercentText(100));
        ShowLabelText(m_txtFile, PercentText(100));
        EndDialog(IDR_FILES_CURRENT);
        break;
    case UN_PROGRESS: {
        if (!record.progress)
            break;
        const UpdateProgressInfo& progress = *record.progress;
        const int total = SinglePrecisionPercent(progress.nTotalDone, progress.nTotalSize);
        const int file = SinglePrecisionPercent(progress.nFileDone, progress.nFileSize);
        ShowBarPosition(m_progTotal, total);
        ShowBarPosition(m_progFile, file);
        ShowLabelText(m_txtTotal, PercentText(total));
        ShowLabelText(m_txtFile, PercentText(file));
        break;
    }
    case UN_FAILED:
        SendMessage(WM_CLOSE);
        break;
    case UN_LAUNCHER_UPDATING:
    case UN_LAUNCHER_DOWNLOADED:
    case UN_LAUNCHER_CURRENT:
        // the self-update's codes
        break;
    }
    return 0;
}
