#include "platform/inet/CInternetSession.h"

#include <memory>
#include <vector>

#include "platform/afx/CWinApp.h"
#include "platform/inet/CurlTransfer.h"
#include "platform/inet/RequestAddress.h"
#include "platform/win/Text.h"

namespace {

constexpr DWORD kFileNotOpened = 2;  // ERROR_FILE_NOT_FOUND

std::chrono::milliseconds TimeoutOf(DWORD value)
{
    return std::chrono::milliseconds(value == INFINITE ? 0 : value);
}

// "Name: value" lines separated by CR LF; length 0 or -1: up to the terminating NUL.
std::vector<std::string> HeaderLines(LPCWSTR headers, DWORD headersLength)
{
    std::vector<std::string> lines;
    if (!headers)
        return lines;
    std::wstring_view text = headersLength == 0 || headersLength == static_cast<DWORD>(-1)
                                 ? std::wstring_view(headers)
                                 : std::wstring_view(headers, headersLength);
    while (!text.empty()) {
        size_t end = text.find_first_of(L"\r\n");
        std::wstring_view line = text.substr(0, end);
        if (line.find(L':') != std::wstring_view::npos)
            lines.push_back(WideToUtf8(line));
        if (end == std::wstring_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// "file:///a/b%20c" or "file://localhost/a/b%20c" as the path "/a/b c" (escapes are UTF-8).
CString FilePathOf(const CString& url)
{
    std::wstring rest = url.Mid(7).str();
    if (rest.rfind(L"localhost/", 0) == 0)
        rest.erase(0, 9);
    std::string bytes;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == L'%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2])));
            i += 2;
        } else {
            bytes += WideToUtf8(std::wstring_view(&rest[i], 1));
        }
    }
    return CString(Utf8ToWide(bytes));
}

}  // namespace

CInternetSession::CInternetSession(LPCWSTR agent, DWORD, DWORD, LPCWSTR, LPCWSTR, DWORD)
    : m_agent(WideToUtf8(agent ? std::wstring_view(agent) : std::wstring_view(AfxGetAppName().str())))
{
}

CInternetSession::~CInternetSession()
{
    Close();
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value)
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        m_connectTimeout = TimeoutOf(value);
        return TRUE;
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT:
        m_receiveTimeout = TimeoutOf(value);
        return TRUE;
    case INTERNET_OPTION_DATA_SEND_TIMEOUT:
    case INTERNET_OPTION_CONNECT_RETRIES:
    case INTERNET_OPTION_CONNECT_BACKOFF:
        return TRUE;
    default:
        return FALSE;
    }
}

CStdioFile* CInternetSession::OpenURL(LPCWSTR url, DWORD, DWORD flags, LPCWSTR headers, DWORD headersLength)
{
    if (!m_bOpen)
        throw CInternetException(ERROR_INTERNET_INVALID_OPERATION, L"The internet session has been closed.");
    CString address(url);
    int schemeEnd = address.Find(L"://");
    if (schemeEnd <= 0)
        throw CInternetException(ERROR_INTERNET_UNRECOGNIZED_SCHEME,
                                 L"The URL scheme could not be recognized, or is not supported.");
    CString scheme = address.Left(schemeEnd + 3);
    scheme.MakeLower();
    if (scheme == L"file://")
        return OpenFileUrl(address);
    if (!(scheme == L"http://" || scheme == L"https://"))
        return new CInternetFile(address);
    std::optional<RequestAddress> request = RequestAddress::FromUrl(address.str());
    if (!request)
        throw CInternetException(ERROR_INTERNET_INVALID_URL, L"The URL is invalid.");

    CurlTransfer::Request settings;
    settings.url = request->url;
    settings.userAgent = m_agent;
    settings.headers = HeaderLines(headers, headersLength);
    if (flags & INTERNET_FLAG_RELOAD) {
        settings.headers.emplace_back("Cache-Control: no-cache");
        settings.headers.emplace_back("Pragma: no-cache");
    }
    settings.connectTimeout = m_connectTimeout;
    settings.receiveTimeout = m_receiveTimeout;
    settings.stopped = m_stopped;
    auto transfer = std::make_unique<CurlTransfer>(settings);
    transfer->WaitForHeaders();
    return new CHttpFile(std::move(transfer), CString(Utf8ToWide(request->object)));
}

CStdioFile* CInternetSession::OpenFileUrl(const CString& url)
{
    auto file = std::make_unique<CStdioFile>();
    CFileException error;
    if (!file->Open(FilePathOf(url), CFile::modeRead | CFile::typeBinary, &error))
        throw CInternetException(kFileNotOpened, error.GetErrorMessage());
    return file.release();
}

void CInternetSession::Close()
{
    m_bOpen = false;
}
