#include "platform/inet/CInternetSession.h"

#include <memory>

#include "platform/afx/CWinApp.h"
#include "platform/inet/CurlTransfer.h"
#include "platform/inet/RequestAddress.h"
#include "platform/win/Text.h"
#include "platform/win/WebScheme.h"

namespace {

std::chrono::milliseconds TimeoutOf(DWORD value)
{
    return std::chrono::milliseconds(value == INFINITE ? 0 : value);
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

CStdioFile* CInternetSession::OpenURL(LPCWSTR url, DWORD, DWORD flags)
{
    if (!m_bOpen)
        throw CInternetException(ERROR_INTERNET_INVALID_OPERATION, L"The internet session has been closed.");
    CString address(url);
    int schemeEnd = address.Find(L"://");
    if (schemeEnd <= 0)
        throw CInternetException(ERROR_INTERNET_UNRECOGNIZED_SCHEME,
                                 L"The URL scheme could not be recognized, or is not supported.");
    if (WebSchemeOf(address.str()) == WebScheme::None)
        return new CInternetFile(address);
    std::optional<RequestAddress> request = RequestAddress::FromUrl(address.str());
    if (!request)
        throw CInternetException(ERROR_INTERNET_INVALID_URL, L"The URL is invalid.");

    CurlTransfer::Request settings;
    settings.url = request->url;
    settings.userAgent = m_agent;
    if (flags & INTERNET_FLAG_RELOAD)
        settings.headers = {"Cache-Control: no-cache", "Pragma: no-cache"};
    settings.connectTimeout = m_connectTimeout;
    settings.receiveTimeout = m_receiveTimeout;
    settings.stopped = m_stopped;
    auto transfer = std::make_unique<CurlTransfer>(settings);
    transfer->WaitForHeaders();
    return new CHttpFile(std::move(transfer), CString(Utf8ToWide(request->object)));
}

void CInternetSession::Close()
{
    m_bOpen = false;
}
