// The client file list and the verification of the local files, run by the client update worker.
#include "platform/afx/CStdioFile.h"
#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/UniqueFiles.h"
#include "update/CMD5.h"
#include "update/CUpdateManager.h"

namespace {

constexpr const wchar_t* kFileListName = L"ExecutableFileList.txt";
// The run's own copy of the list: "_filelist.<six random characters>.txt", made exclusively, so
// that a second launcher in the same game folder never touches it.
constexpr const wchar_t* kTemporaryListStem = L"_filelist";
constexpr const wchar_t* kTemporaryListExtension = L".txt";

bool EntryExists(const CString& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool HasListedDigest(const CString& localPath, const CString& listedDigest, const std::function<bool()>& stopped)
{
    std::wstring digest = CMD5::DigestFile(localPath, stopped);
    return !digest.empty() && lstrcmpW(digest.c_str(), listedDigest) == 0;
}

}  // namespace

bool CUpdateManager::CheckClientFiles()
{
    if (!m_bRunning)
        return false;
    CString url;
    url.Format(L"%s%s", m_strFileListUrl.GetString(), kFileListName);
    if (!LoadFileList(url, m_files))
        return false;
    VerifyLocalFiles(m_files, m_nTotalSize);

    Send(UN_FILE_SUMMARY, reinterpret_cast<LPARAM>(new UpdateSummaryInfo{m_files.size(), m_nTotalSize}));
    if (m_files.empty())
        Post(UN_FILES_DONE);
    return true;
}

bool CUpdateManager::LoadFileList(LPCWSTR url, std::vector<FileListEntry>& files)
{
    if (!m_bRunning)
        return false;
    files.clear();
    // Without a file of its own the run reads no list: the list counts as empty.
    std::wstring temporaryList = CreateUniqueFile(kTemporaryListStem, kTemporaryListExtension);
    if (temporaryList.empty())
        return true;
    // A list that did not arrive whole is no list: nothing of it is read.
    if (DownloadToFile(url, temporaryList.c_str())) {
        CStdioFile list;
        if (list.Open(temporaryList.c_str(), CFile::modeRead | CFile::shareExclusive | CFile::typeText)) {
            try {
                CString line;
                while (list.ReadString(line))
                    files.push_back(FileListEntry::Parse(line));
            } catch (const CFileException&) {
                // a read error ends the list at that line
            }
            list.Close();
        }
    }
    m_downloader.DiscardLocalFile();
    DeleteFileW(temporaryList.c_str());
    return true;
}

bool CUpdateManager::VerifyLocalFiles(std::vector<FileListEntry>& files, ULONGLONG& totalSize)
{
    if (!m_bRunning)
        return false;
    totalSize = 0;
    // One pass: the entries found current are dropped, the others keep their order. Once the
    // flag is found clear, the entries not yet examined stay and are not counted.
    bool stopped = false;
    std::erase_if(files, [&](const FileListEntry& entry) {
        if (stopped || (stopped = !m_bRunning))
            return false;
        CString localPath = entry.LocalPath();
        // A path that leaves the game folder is never read; the download refuses it.
        bool current = FileListEntry::IsInsideGameFolder(localPath) && EntryExists(localPath) &&
                       HasListedDigest(localPath, entry.strMD5, [this] { return !m_bRunning; });
        if (!current)
            totalSize += static_cast<ULONGLONG>(entry.nSize);
        return current;
    });
    return !stopped;
}
