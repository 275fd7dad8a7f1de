#include "update/CHttpDownloader.h"

#include <exception>
#include <new>

#include "platform/inet/CInternetSession.h"
#include "platform/win/FileSystem.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Text.h"
#include "platform/win/Threads.h"

namespace {

constexpr DWORD kTimeoutMilliseconds = 3000;
constexpr DWORD kConnectRetries = 5;

// A transfer ended by the caller's stop condition is no failure to show.
bool IsShown(const CInternetException& e, bool bShowErrors)
{
    return bShowErrors && e.m_dwError != ERROR_INTERNET_OPERATION_CANCELLED;
}

void ShowError(const CString& text, LPCWSTR title)
{
    MessageBoxW(nullptr, text, title, MB_OK | MB_ICONERROR);
}

CString Joined(const CString& first, const CString& second)
{
    CString text;
    text.Format(L"%s: %s", first.GetString(), second.GetString());
    return text;
}

// The box of a failure while reading other than an internet failure, matched in the order
// memory, file, any other.
void ShowReadFailure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const CMemoryException& e) {
        ShowError(e.GetErrorMessage(), L"Memory Exception");
    } catch (const std::bad_alloc&) {
        ShowError(CMemoryException().GetErrorMessage(), L"Memory Exception");
    } catch (const CFileException& e) {
        ShowError(e.GetErrorMessage(), L"File Exception");
    } catch (const CException& e) {
        ShowError(e.GetErrorMessage(), L"Exception");
    } catch (const std::exception& e) {
        ShowError(Utf8ToWide(e.what()), L"Exception");
    }
}

// The launcher never writes over the file it runs from; guarded names it, or is empty for the
// running executable.
bool IsRunningExecutable(LPCWSTR localPath, const std::wstring& guarded)
{
    std::string running = NativePath(guarded.empty() ? GetModuleFilePath().c_str() : guarded.c_str());
    std::string target = NativePath(localPath);
    if (running.empty() || target.empty())
        return false;
    char* resolved = realpath(target.c_str(), nullptr);
    bool same = resolved && running == resolved;
    free(resolved);
    return same;
}

}  // namespace

CHttpDownloader::CHttpDownloader(DownloadProgressFunction progress, void* progressContext)
    : m_pSession(std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)),
      m_pLocalFile(std::make_unique<CStdioFile>()),
      m_pBuffer(kBufferSize),
      m_pfnProgress(progress),
      m_pProgressContext(progressContext)
{
}

CHttpDownloader::~CHttpDownloader()
{
    CloseResponse();
    m_pSession->Close();
}

bool CHttpDownloader::CloseLocalFile()
{
    if (!m_pLocalFile->IsOpen())
        return true;
    try {
        m_pLocalFile->Close();
        return true;
    } catch (const CFileException& e) {
        ShowError(e.GetErrorMessage(), L"File Exception");
        return false;
    }
}

void CHttpDownloader::DiscardLocalFile()
{
    try {
        m_pLocalFile->Close();
    } catch (const CFileException&) {
        // what was not written belonged to a transfer that had already failed
    }
}

void CHttpDownloader::CloseResponse()
{
    if (!m_pFile)
        return;
    try {
        m_pFile->Close();
    } catch (const CException&) {
        // a response that fails while closing is gone all the same
    }
    m_pFile.reset();
}

void CHttpDownloader::SetStopCondition(std::function<bool()> stopped)
{
    m_pSession->SetStopCondition(std::move(stopped));
}

void CHttpDownloader::CloseSessionAfterLocalFailure()
{
    m_pSession->Close();
}

int CHttpDownloader::Open(LPCWSTR url, LPCWSTR localPath, DWORD transferFlags, bool bShowErrors)
{
    CloseResponse();
    DiscardLocalFile();
    m_dwContentLength = 0;
    m_dwReceived = 0;
    m_dwLastTick = 0;
    m_bLineReadFailed = false;

    m_pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kTimeoutMilliseconds);
    m_pSession->SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, kTimeoutMilliseconds);
    m_pSession->SetOption(INTERNET_OPTION_DATA_SEND_TIMEOUT, kTimeoutMilliseconds);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_BACKOFF, kTimeoutMilliseconds);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries);

    try {
        m_pFile.reset(m_pSession->OpenURL(url, 1, transferFlags | INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE));
    } catch (const CInternetException& e) {
        if (IsShown(e, bShowErrors))
            ShowError(Joined(e.GetErrorMessage(), url), L"OpenURL Exception");
        return kRetry;
    }
    if (!CheckResponse())
        return kFailed;
    if (!localPath)
        return kReady;

    UINT mode = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone |
                (transferFlags == INTERNET_FLAG_TRANSFER_BINARY ? CFile::typeBinary : CFile::typeText);
    bool opened = false;
    try {
        opened = !IsRunningExecutable(localPath, s_strGuardedFile) && m_pLocalFile->Open(localPath, mode);
    } catch (const CFileException& e) {
        ShowError(Joined(e.GetErrorMessage(), localPath), L"OpenFile Exception");
        CloseSessionAfterLocalFailure();
        return kFailed;
    }
    if (opened)
        return kReady;
    ShowOpenFileError(localPath);
    CloseSessionAfterLocalFailure();
    return kFailed;
}

void CHttpDownloader::ShowOpenFileError(LPCWSTR localPath)
{
    CString text;
    text.Format(L"OpenFile Error: %s", localPath);
    ShowError(text, L"OpenFile Exception");
}

bool CHttpDownloader::CheckResponse()
{
    auto* response = dynamic_cast<CHttpFile*>(m_pFile.get());
    auto refuse = [this] {
        CloseResponse();
        return false;
    };
    if (!response)
        return refuse();
    try {
        DWORD status = 0;
        if (!response->QueryInfo(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status))
            return refuse();
        if (status != 200) {
            // The response stays open until the next Open or the destructor.
            CString text;
            text.Format(L"Http Error: %d, %s", static_cast<int>(status), response->GetFilePath().GetString());
            ShowError(text, L"OpenURL Exception");
            return false;
        }
        ULONGLONG length = 0;
        if (!response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length))
            return refuse();
        m_dwContentLength = length;
        return true;
    } catch (const CInternetException&) {
        return false;
    }
}

int CHttpDownloader::ReadChunk(bool bShowErrors)
{
    try {
        UINT n = m_pFile->Read(m_pBuffer.data(), kBufferSize);
        if (n == 0)
            return 0;
        m_pLocalFile->Write(m_pBuffer.data(), n);
        m_dwReceived += n;
        if (m_pfnProgress && static_cast<DWORD>(timeGetTime() - m_dwLastTick) > 100) {
            m_dwLastTick = timeGetTime();
            m_pfnProgress(m_pProgressContext, this);
        }
        return static_cast<int>(n);
    } catch (const CInternetException& e) {
        if (!IsShown(e, bShowErrors))
            return kRetry;
        ShowError(e.GetErrorMessage(), L"Exception");
        return kFailed;
    } catch (...) {
        ShowReadFailure(std::current_exception());
    }
    return kFailed;
}

int CHttpDownloader::ReadLine(CString& line, bool bShowErrors)
{
    auto* response = dynamic_cast<CHttpFile*>(m_pFile.get());
    if (!response)
        return kFailed;
    try {
        std::string bytes;
        if (!response->ReadString(bytes, kMaxLineBytes))
            return kFailed;
        if (bytes.size() > kMaxLineBytes) {
            m_bLineReadFailed = true;
            return kFailed;
        }
        std::string text;
        text.reserve(bytes.size());
        for (char byte : bytes) {
            if (byte == '\0')
                break;
            if (byte != '\r')
                text.push_back(byte);
        }
        int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring decoded(static_cast<size_t>(units), L'\0');
        if (units > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), decoded.data(), units);
        line = CString(std::move(decoded));
        return kReady;
    } catch (const CInternetException& e) {
        if (IsShown(e, bShowErrors))
            ShowError(e.GetErrorMessage(), L"Exception");
        return kRetry;
    } catch (...) {
        ShowReadFailure(std::current_exception());
    }
    m_bLineReadFailed = true;
    return kFailed;
}
