// The tests' way to the update engine's private state: what a window or a worker would set, and
// what a transfer leaves behind.
#pragma once

#include <atomic>
#include <set>
#include <string>

#include "update/CHttpDownloader.h"
#include "update/CUpdateManager.h"

struct UpdateTestAccess {
    // What StartWorker sets before its thread runs, for a step called on the test's own thread.
    static void Prepare(CUpdateManager& manager, HWND window)
    {
        manager.m_hNotifyWnd = window;
        manager.m_bRunning = 1;
    }
    static std::atomic<int>& Running(CUpdateManager& manager) { return manager.m_bRunning; }
    static HWND& NotifyWindow(CUpdateManager& manager) { return manager.m_hNotifyWnd; }
    static std::atomic<bool>& ReportProgress(CUpdateManager& manager) { return manager.m_bReportProgress; }
    static HANDLE Thread(const CUpdateManager& manager) { return manager.m_hThread; }
    static CString& FileListUrl(CUpdateManager& manager) { return manager.m_strFileListUrl; }
    static CString& PatchUrl(CUpdateManager& manager) { return manager.m_strPatchUrl; }
    static void SetTotals(CUpdateManager& manager, ULONGLONG size, ULONGLONG done)
    {
        manager.m_nTotalSize = size;
        manager.m_nTotalDone = done;
    }
    static std::set<CString> CreatedDirs(const CUpdateManager& manager) { return manager.m_createdDirs.Texts(); }

    static CHttpDownloader& Downloader(CUpdateManager& manager) { return manager.m_downloader; }
    // The byte progress of the transfers off; the reports after each file stay.
    static void DropProgressCallback(CUpdateManager& manager) { manager.m_downloader.m_pfnProgress = nullptr; }
    static const CStdioFile* Response(const CUpdateManager& manager) { return manager.m_downloader.m_pFile.get(); }
    static std::wstring& GuardedFile() { return CHttpDownloader::s_strGuardedFile; }
};
