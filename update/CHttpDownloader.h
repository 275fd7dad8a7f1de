// The update engine's one way to the network: a GET accepted only with status 200 and a numeric
// Content-Length, streamed into a local file or read as text lines. It shows the transfer
// layer's message boxes; retrying is the caller's.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/CFile.h"
#include "platform/afx/CStdioFile.h"
#include "platform/afx/CString.h"

class CInternetSession;
class CHttpDownloader;

using DownloadProgressFunction = void (*)(void* context, CHttpDownloader* downloader);

class CHttpDownloader {
public:
    static constexpr int kReady = 0;
    static constexpr int kFailed = -1;  // final failure, or no further line
    static constexpr int kRetry = -2;   // an internet failure: another attempt may succeed
    static constexpr UINT kBufferSize = 1024;
    // A longer line of a list makes the list unreadable, so that no answer can fill the memory.
    static constexpr size_t kMaxLineBytes = 64 * 1024;

    CHttpDownloader(DownloadProgressFunction progress, void* progressContext);
    CHttpDownloader(const CHttpDownloader&) = delete;
    CHttpDownloader& operator=(const CHttpDownloader&) = delete;
    ~CHttpDownloader();

    // transferFlags: INTERNET_FLAG_TRANSFER_BINARY with a local path, INTERNET_FLAG_TRANSFER_ASCII
    // without one. bShowErrors: show the box of an internet failure (the caller's last attempt).
    int Open(LPCWSTR url, LPCWSTR localPath, DWORD transferFlags, bool bShowErrors);
    // Bytes read and written, 0 at the end of the body, kFailed or kRetry.
    int ReadChunk(bool bShowErrors);
    // kReady with a line, kFailed at the end of the body or after a failure other than an
    // internet failure (LineReadFailed tells which; a line over 64 KiB is such a failure, without
    // a box), kRetry after an internet failure.
    int ReadLine(CString& line, bool bShowErrors);
    bool LineReadFailed() const { return m_bLineReadFailed; }

    // The caller ends a transfer itself: the local file, then the response. The local file is
    // written through a buffer: false, after the "File Exception" box, when its last bytes could
    // not be written.
    bool CloseLocalFile();
    // Closes the local file of a transfer that did not succeed, reporting nothing.
    void DiscardLocalFile();
    void CloseResponse();

    // The box of a local file that cannot be opened for writing: "OpenFile Error: " and the path.
    static void ShowOpenFileError(LPCWSTR localPath);

    // True ends a transfer that waits on the network, as an internet failure.
    void SetStopCondition(std::function<bool()> stopped);
    // Content-Length of the accepted response, 0 before; bytes of it written so far.
    ULONGLONG ContentLength() const { return m_dwContentLength; }
    ULONGLONG Received() const { return m_dwReceived; }

private:
    friend struct UpdateTestAccess;  // the tests' way in

    bool CheckResponse();
    void CloseSessionAfterLocalFailure();

    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CStdioFile> m_pFile;
    std::unique_ptr<CStdioFile> m_pLocalFile;
    std::vector<char> m_pBuffer;
    ULONGLONG m_dwContentLength = 0;
    ULONGLONG m_dwReceived = 0;
    DownloadProgressFunction m_pfnProgress = nullptr;
    void* m_pProgressContext = nullptr;
    DWORD m_dwLastTick = 0;
    bool m_bLineReadFailed = false;

    // The file no download may write over: empty for the running executable; a test names another.
    static inline std::wstring s_strGuardedFile;
};
