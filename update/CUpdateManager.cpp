#include "update/CUpdateManager.h"

#include "platform/inet/CInternetSession.h"
#include "platform/win/Threads.h"
#include "platform/win/MessageSend.h"

CUpdateManager::CUpdateManager() : m_downloader(DownloadProgressCallback, this)
{
    RegisterUpdateNotifyRecords();
    // A cleared running flag ends a transfer that waits on the network.
    m_downloader.SetStopCondition([this] { return m_bRunning == 0; });
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

void CUpdateManager::SendProgress(ULONGLONG totalDone, ULONGLONG fileSize, ULONGLONG fileDone)
{
    auto* record = new UpdateProgressInfo{m_nTotalSize, totalDone, fileSize, fileDone};
    Send(UN_PROGRESS, reinterpret_cast<LPARAM>(record));
}

void DownloadProgressCallback(void* context, CHttpDownloader* downloader)
{
    auto* manager = static_cast<CUpdateManager*>(context);
    if (!manager->m_bReportProgress)
        return;
    ULONGLONG received = downloader->Received();
    manager->SendProgress(manager->m_nTotalDone + received, downloader->ContentLength(), received);
}

template <class Attempt>
bool CUpdateManager::Retrying(Attempt attempt)
{
    if (!m_bRunning)
        return false;
    m_nRetry = 0;
    for (;;) {
        // Only the last attempt shows the box of an internet failure.
        int result = attempt(m_nRetry >= kAttempts - 1);
        if (result != CHttpDownloader::kRetry || !m_bRunning || m_nRetry >= kAttempts - 1)
            return result == CHttpDownloader::kReady;
        ++m_nRetry;
        Sleep(kRetryPauseMilliseconds);
    }
}

bool CUpdateManager::DownloadToFile(LPCWSTR url, LPCWSTR localPath, ULONGLONG maxBytes)
{
    return Retrying([&](bool bShowErrors) {
        int opened = m_downloader.Open(url, localPath, INTERNET_FLAG_TRANSFER_BINARY, bShowErrors);
        if (opened != CHttpDownloader::kReady)
            return opened;
        int n;
        do {
            if (!m_bRunning)
                return CHttpDownloader::kFailed;
            n = m_downloader.ReadChunk(bShowErrors);
            if (n > 0 && m_downloader.Received() > maxBytes)
                return CHttpDownloader::kFailed;
        } while (n > 0);
        if (n < 0)
            return n;
        bool written = m_downloader.CloseLocalFile();
        m_downloader.CloseResponse();
        return written ? CHttpDownloader::kReady : CHttpDownloader::kFailed;
    });
}

bool CUpdateManager::DownloadLines(LPCWSTR url, std::vector<CString>& lines, size_t keptLines)
{
    return Retrying([&](bool bShowErrors) {
        lines.clear();
        int opened = m_downloader.Open(url, nullptr, INTERNET_FLAG_TRANSFER_ASCII, bShowErrors);
        if (opened != CHttpDownloader::kReady)
            return opened;
        int c;
        for (size_t count = 0;; ++count) {
            if (!m_bRunning)
                return CHttpDownloader::kFailed;
            CString line;
            c = m_downloader.ReadLine(line, bShowErrors);
            if (c != CHttpDownloader::kReady)
                break;
            // Too many lines: unreadable, as a line too long is.
            if (count == kMaxListLines)
                return CHttpDownloader::kFailed;
            if (lines.size() < keptLines)
                lines.push_back(std::move(line));
        }
        if (c == CHttpDownloader::kRetry)
            return c;
        // A read that failed with a box of its own is no complete list.
        if (m_downloader.LineReadFailed())
            return CHttpDownloader::kFailed;
        m_downloader.CloseLocalFile();
        m_downloader.CloseResponse();
        return CHttpDownloader::kReady;
    });
}
