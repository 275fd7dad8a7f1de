// The patch download and the client update worker.
#include <optional>
#include <vector>

#include "platform/win/FileSystem.h"
#include "platform/win/FolderLock.h"
#include "update/CUpdateManager.h"

bool CUpdateManager::DownloadFiles()
{
    if (!m_bRunning)
        return false;
    for (const FileListEntry& entry : m_files) {
        CString url;
        url.Format(L"%s%d/%s/%s", m_strPatchUrl.GetString(), entry.nVersion, kClientDataFolder, entry.Path().GetString());
        CString localPath = entry.LocalPath();
        // Refused before any folder is made and any request goes out.
        if (!FileListEntry::IsInsideGameFolder(localPath) || !FileListEntry::FitsFileSystem(localPath)) {
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
    // A folder the file system cannot take is not made, nor any of its parents.
    if (!FileListEntry::FitsFileSystem(folder))
        return;
    // Climb from the folder through its parents (the text before each last "\\") to the first
    // that is known or exists, then make the missing ones from the top down.
    const std::wstring& path = folder.str();
    const std::optional<size_t> known = m_createdDirs.LongestKnown(path);
    if (known == path.size())
        return;
    std::vector<size_t> missing;  // lengths of the folders to make, deepest first
    size_t shallowest = path.size();
    for (size_t end = path.size(); end != known;) {
        if (PathFileExistsW(CString(path.substr(0, end)))) {
            shallowest = end;
            break;
        }
        missing.push_back(end);
        shallowest = end;
        size_t separator = end == 0 ? std::wstring::npos : path.rfind(L'\\', end - 1);
        if (separator == std::wstring::npos)
            break;
        end = separator;
    }
    for (auto end = missing.rbegin(); end != missing.rend(); ++end)
        CreateDirectoryW(CString(path.substr(0, *end)), nullptr);
    m_createdDirs.Insert(path, shallowest);
}

unsigned ClientUpdateThreadProc(void* argument)
{
    auto* manager = static_cast<CUpdateManager*>(argument);
    // One client update at a time in a game folder, until this procedure returns: another
    // launcher's never rewrites a file this one fetched while its game starts on it.
    FolderLock gameFolder;
    if (!manager->LockGameFolder(gameFolder) || !manager->CheckClientFiles() || !manager->DownloadFiles()) {
        manager->Send(UN_FAILED);
        return 0;
    }
    if (!manager->m_files.empty())
        manager->Post(UN_FILES_DONE);
    return 0;
}
