// The client file list and the verification of the local files, run by the client update worker.
#include <functional>

#include "platform/afx/CStdioFile.h"
#include "platform/win/FileSystem.h"
#include "platform/win/FolderLock.h"
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
// The list file's name in the box when none can be made.
constexpr const wchar_t* kTemporaryListPattern = L"_filelist.XXXXXX.txt";
// The one list file of launchers before the run's own copies.
constexpr const wchar_t* kSharedListName = L"_filelist.txt";
// A larger list is unreadable: four times the list of 200,000 files with 100-byte paths.
constexpr ULONGLONG kMaxListBytes = 128ull << 20;

bool EntryExists(const CString& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool HasListedDigest(const CString& localPath, const FileListEntry& entry, const std::function<bool()>& stopped)
{
    std::wstring digest = CMD5::DigestFile(localPath, stopped);
    return !digest.empty() && lstrcmpW(digest.c_str(), entry.MD5()) == 0;
}

// Each line of the list file to take, until it returns false; false then, or when the file
// cannot be opened or holds a line longer than kMaxLineBytes. A read error ends the list there.
bool ReadListLines(LPCWSTR path, const std::function<bool(CString&)>& take)
{
    CStdioFile list;
    if (!list.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeText))
        return false;
    bool whole = true;
    try {
        CString line;
        while (whole && list.ReadString(line, CHttpDownloader::kMaxLineBytes))
            whole = static_cast<size_t>(line.GetLength()) <= CHttpDownloader::kMaxLineBytes && take(line);
    } catch (const CFileException&) {
        // the list ends at that line
    }
    list.Close();
    return whole;
}

// The entries of the list file, or none when it breaks a limit. The first reading only checks
// the limits, so that a list that breaks them never fills the memory.
void ReadFileList(LPCWSTR path, std::vector<FileListEntry>& files)
{
    size_t lines = 0;
    ULONGLONG bytes = 0;
    auto count = [&](const CString& line) {
        bytes += static_cast<ULONGLONG>(line.GetLength()) + 1;
        return ++lines <= kMaxFileListLines && bytes <= kMaxListBytes;
    };
    if (!ReadListLines(path, count))
        return;
    files.reserve(lines);
    ReadListLines(path, [&](CString& line) {
        files.push_back(FileListEntry::Parse(line));
        return files.size() < lines;
    });
}

}  // namespace

bool CUpdateManager::LockGameFolder(FolderLock& lock)
{
    FolderLock::Outcome outcome = lock.Acquire(L".", [this] { return !m_bRunning; });
    if (outcome == FolderLock::Outcome::Stopped)
        return false;
    // No other run is in its client update here now, so every list file left is a killed run's.
    // A folder that cannot be locked is updated as before, and the other runs' files stay.
    if (outcome == FolderLock::Outcome::Held) {
        RemoveUniqueFiles(kTemporaryListStem, kTemporaryListExtension);
        DeleteFileW(kSharedListName);
    }
    return true;
}

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
    // Without a file of its own the run asks for no list: after the box, the list counts as empty.
    std::wstring temporaryList = CreateUniqueFile(kTemporaryListStem, kTemporaryListExtension);
    if (temporaryList.empty()) {
        CHttpDownloader::ShowOpenFileError(kTemporaryListPattern);
        return true;
    }
    // A list that did not arrive whole is no list: nothing of it is read.
    if (DownloadToFile(url, temporaryList.c_str(), kMaxListBytes))
        ReadFileList(temporaryList.c_str(), files);
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
                       HasListedDigest(localPath, entry, [this] { return !m_bRunning; });
        if (!current)
            totalSize += static_cast<ULONGLONG>(entry.nSize);
        return current;
    });
    return !stopped;
}
