// The patch download and the client update worker.
#include "platform/win/FileSystem.h"
#include "update/CUpdateManager.h"

bool CUpdateManager::DownloadFiles()
{
    if (!m_bRunning)
        return false;
    for (const FileListEntry& entry : m_files) {
        CString url;
        url.Format(L"%s%d/%s/%s", m_strPatchUrl.GetString(), entry.nVersion, kClientDataFolder, entry.strPath.GetString());
        CString localPath = entry.LocalPath();
        if (!FileListEntry::IsInsideGameFolder(localPath)) {
            CHttpDownloader::ShowOpenFileError(localPath);
            return false;
        }
        int lastSeparator = localPath.ReverseFind(L'\\');
        if (lastSeparator >= 0)
            EnsureDirectory(localPath.Left(lastSeparator));
        if (!DownloadToFile(url, localPath))
            return false;
        m_nTotalDone += m_downloader.ContentLength();
        SendProgress(m_nTotalDone, static_cast<ULONGLONG>(entry.nSize), static_cast<ULONGLONG>(entry.nSize));
    }
    return true;
}

void CUpdateManager::EnsureDirectory(const CString& folder)
{
    if (m_createdDirs.count(folder))
        return;
    if (!PathFileExistsW(folder)) {
        int lastSeparator = folder.ReverseFind(L'\\');
        if (lastSeparator >= 0)
            EnsureDirectory(folder.Left(lastSeparator));
        CreateDirectoryW(folder, nullptr);
    }
    m_createdDirs.insert(folder);
}

unsigned ClientUpdateThreadProc(void* argument)
{
    auto* manager = static_cast<CUpdateManager*>(argument);
    if (!manager->CheckClientFiles() || !manager->DownloadFiles()) {
        manager->Send(UN_FAILED);
        return 0;
    }
    if (!manager->m_files.empty())
        manager->Post(UN_FILES_DONE);
    return 0;
}
