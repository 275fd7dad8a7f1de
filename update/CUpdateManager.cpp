#include "update/CUpdateManager.h"

#include "platform/inet/CInternetSession.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowHandles.h"

CUpdateManager::CUpdateManager() : m_downloader(DownloadProgressCallback, this)
{
    RegisterUpdateNotifyRecords();
    // A cleared running flag ends a transfer that waits on the network.
    m_downloader.m_pSession->SetStopCondition([this] { return m_bRunning == 0; });
}

CUpdateManager::~CUpdateManager()
{
    if (m_hThread) {
        DWORD exitCode = 0;
        if (GetExitCodeThread(m_hThread, &exitCode) && exitCode == STILL_ACTIVE) {
            m_bRunning = 0;
            WaitForSingleObject(m_hThread, INFINITE);
        }
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}

void CUpdateManager::StartWorker(HWND window, ThreadProcedure procedure, ProgressReports reports)
{
    m_hNotifyWnd = window;
    m_bRunning = 1;
    if (reports == ProgressReports::OffUntilSummary)
        m_bReportProgress = false;
    if (m_hThread)
        CloseHandle(m_hThread);
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, procedure, this, 0, nullptr));
    // Without a worker the window ends as after a failed one.
    if (!m_hThread)
        Post(UN_FAILED);
}

void CUpdateManager::Send(UpdateNotifyCode code, LPARAM record)
{
    SendMessageW(m_hNotifyWnd, WM_UPDATE_NOTIFY, code, record);
}

void CUpdateManager::Post(UpdateNotifyCode code)
{
    PostMessageW(m_hNotifyWnd, WM_UPDATE_NOTIFY, code, 0);
}

void DownloadProgressCallback(void* context, CHttpDownloader* downloader)
{
    auto* manager = static_cast<CUpdateManager*>(context);
    if (!manager->m_bReportProgress)
        return;
    auto* info = new UpdateProgressInfo;
    info->nTotalSize = manager->m_nTotalSize;
    info->nTotalDone = manager->m_nTotalDone + downloader->m_dwReceived;
    info->nFileSize = downloader->m_dwContentLength;
    info->nFileDone = downloader->m_dwReceived;
    manager->Send(UN_PROGRESS, reinterpret_cast<LPARAM>(info));
}

bool CUpdateManager::NextAttempt()
{
    if (!m_bRunning || m_nRetry >= kAttempts - 1)
        return false;
    ++m_nRetry;
    Sleep(kRetryPauseMilliseconds);
    return true;
}

bool CUpdateManager::DownloadToFile(LPCWSTR url, LPCWSTR localPath)
{
    if (!m_bRunning)
        return false;
    m_nRetry = 0;
    for (;;) {
        int opened = m_downloader.Open(url, localPath, INTERNET_FLAG_TRANSFER_BINARY, ShowErrorsNow());
        if (opened < 0) {
            if (opened == CHttpDownloader::kRetry && NextAttempt())
                continue;
            return false;
        }
        int n;
        do {
            if (!m_bRunning)
                return false;
            n = m_downloader.ReadChunk(ShowErrorsNow());
        } while (n > 0);
        if (n == 0) {
            bool written = m_downloader.CloseLocalFile();
            m_downloader.CloseResponse();
            return written;
        }
        if (n == CHttpDownloader::kRetry && NextAttempt())
            continue;
        return false;
    }
}

bool CUpdateManager::DownloadLines(LPCWSTR url, std::vector<CString>& lines)
{
    if (!m_bRunning)
        return false;
    m_nRetry = 0;
    for (;;) {
        lines.clear();
        int opened = m_downloader.Open(url, nullptr, INTERNET_FLAG_TRANSFER_ASCII, ShowErrorsNow());
        if (opened < 0) {
            if (opened == CHttpDownloader::kRetry && NextAttempt())
                continue;
            return false;
        }
        int c;
        for (;;) {
            if (!m_bRunning)
                return false;
            CString line;
            c = m_downloader.ReadLine(line, ShowErrorsNow());
            if (c != CHttpDownloader::kReady)
                break;
            lines.push_back(std::move(line));
        }
        if (c == CHttpDownloader::kRetry) {
            if (NextAttempt())
                continue;
            return false;
        }
        // A read that failed with a box of its own is no complete list.
        if (m_downloader.LineReadFailed())
            return false;
        m_downloader.CloseLocalFile();
        m_downloader.CloseResponse();
        return true;
    }
}
