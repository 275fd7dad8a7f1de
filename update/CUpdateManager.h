// The update engine's one object: owns the downloader, the client file list and the byte
// counters, and is the argument of the update worker threads, which report to their window with
// WM_UPDATE_NOTIFY.
//
// A window starts a worker with StartWorker; only the destructor stops one.
#pragma once

#include <atomic>
#include <vector>

#include "platform/afx/CString.h"
#include "update/CHttpDownloader.h"
#include "update/FileListEntry.h"
#include "update/FolderSet.h"
#include "platform/win/Threads.h"
#include "update/UpdateNotify.h"

enum class ProgressReports { On, OffUntilSummary };

class FolderLock;

class CUpdateManager {
public:
    static constexpr int kAttempts = 5;
    static constexpr DWORD kRetryPauseMilliseconds = 500;
    // The launcher list keeps only its first lines; a list of more lines is unreadable, so a body
    // that never ends ends the check. Lines hold at most CHttpDownloader::kMaxLineBytes.
    static constexpr size_t kMaxListLines = size_t{1} << 21;

    CUpdateManager();
    CUpdateManager(const CUpdateManager&) = delete;
    CUpdateManager& operator=(const CUpdateManager&) = delete;
    // Stops a worker that still runs and waits for it.
    ~CUpdateManager();

    // Main thread, in this order: the window to notify, the running flag, the progress flag (off
    // for the client update until its window handles UN_FILE_SUMMARY), then the thread, whose
    // handle replaces that of an earlier worker, which has ended by then. When no thread can be
    // started, UN_FAILED is posted to the window.
    void StartWorker(HWND window, ThreadProcedure procedure, ProgressReports reports);
    // The client update window, while it handles UN_FILE_SUMMARY: the worker waits in its send.
    void TurnProgressReportsOn() { m_bReportProgress = true; }

    // Retrying transfers: at most five attempts, 500 ms apart, for failures worth another one.
    // A file that grows past maxBytes fails, and no more of it is read.
    bool DownloadToFile(LPCWSTR url, LPCWSTR localPath, ULONGLONG maxBytes = ~0ull);
    // Keeps the first keptLines lines; a list of more than kMaxListLines lines or with a longer
    // line than kMaxLineBytes fails, and no more of it is read.
    bool DownloadLines(LPCWSTR url, std::vector<CString>& lines, size_t keptLines = kMaxListLines);

    // The launcher update list and the version check.
    bool CheckLauncherVersion();
    // The client update's hold of the game folder, the current folder: waits while another run's
    // client update holds it, then removes the list files that killed runs left. False when the
    // running flag was found clear.
    bool LockGameFolder(FolderLock& lock);
    // The client file list and local verification.
    bool CheckClientFiles();
    bool LoadFileList(LPCWSTR url, std::vector<FileListEntry>& files);
    bool VerifyLocalFiles(std::vector<FileListEntry>& files, ULONGLONG& totalSize);
    // The patch download.
    bool DownloadFiles();
    void EnsureDirectory(const CString& folder);

private:
    // The worker procedures and the progress callback, in the form their callers require.
    friend void DownloadProgressCallback(void* context, CHttpDownloader* downloader);
    friend unsigned LauncherUpdateThreadProc(void* manager);
    friend unsigned ClientUpdateThreadProc(void* manager);
    friend struct UpdateTestAccess;  // the tests' way in

    // To m_hNotifyWnd: Send waits until the window has handled the message.
    void Send(UpdateNotifyCode code, LPARAM record = 0);
    void Post(UpdateNotifyCode code);
    // UN_PROGRESS with a new record of m_nTotalSize and these counts.
    void SendProgress(ULONGLONG totalDone, ULONGLONG fileSize, ULONGLONG fileDone);

    // The attempts of one transfer: attempt(bShowErrors) makes one and gives kReady, kFailed, or
    // kRetry for another after the pause.
    template <class Attempt>
    bool Retrying(Attempt attempt);

    HANDLE m_hThread = nullptr;
    std::atomic<int> m_bRunning = 0;
    HWND m_hNotifyWnd = nullptr;
    CHttpDownloader m_downloader;
    std::vector<FileListEntry> m_files;
    ULONGLONG m_nTotalSize = 0;
    ULONGLONG m_nTotalDone = 0;
    FolderSet m_createdDirs;
    std::atomic<bool> m_bReportProgress = true;
    CString m_strFileListUrl;
    CString m_strPatchUrl;
    int m_nRetry = 0;
};

// The launcher's own version, compared with line 0 of the launcher update list.
extern const wchar_t* const kLauncherVersion;

void DownloadProgressCallback(void* context, CHttpDownloader* downloader);
unsigned LauncherUpdateThreadProc(void* manager);
unsigned ClientUpdateThreadProc(void* manager);
