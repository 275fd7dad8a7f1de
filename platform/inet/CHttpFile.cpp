#include "platform/inet/CHttpFile.h"

#include <charconv>
#include <limits>
#include <optional>

#include "platform/inet/CurlTransfer.h"
#include "platform/win/Text.h"

namespace {

// Digits only: from_chars takes no sign or blank for an unsigned type, and fails on overflow.
std::optional<ULONGLONG> NumberOf(const std::string& text)
{
    ULONGLONG value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

}  // namespace

CHttpFile::CHttpFile(std::unique_ptr<CurlTransfer> transfer, const CString& object)
    : m_transfer(std::move(transfer)), m_strObject(object)
{
}

CHttpFile::~CHttpFile() = default;

CurlTransfer& CHttpFile::Transfer()
{
    if (!m_transfer)
        throw CInternetException(ERROR_INTERNET_INVALID_OPERATION, L"The response has been closed.");
    return *m_transfer;
}

BOOL CHttpFile::QueryInfo(DWORD infoLevel, ULONGLONG& value)
{
    CurlTransfer& transfer = Transfer();
    std::optional<ULONGLONG> number;
    switch (infoLevel & ~HTTP_QUERY_FLAG_NUMBER) {
    case HTTP_QUERY_STATUS_CODE:
        if (transfer.Status() > 0)
            number = static_cast<ULONGLONG>(transfer.Status());
        break;
    case HTTP_QUERY_CONTENT_LENGTH:
        if (std::optional<std::string> length = transfer.Header("Content-Length"))
            number = NumberOf(*length);
        break;
    default:
        break;
    }
    if (!number)
        return FALSE;
    value = *number;
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD infoLevel, DWORD& value)
{
    ULONGLONG wide = 0;
    if (!QueryInfo(infoLevel, wide) || wide > std::numeric_limits<DWORD>::max())
        return FALSE;
    value = static_cast<DWORD>(wide);
    return TRUE;
}

UINT CHttpFile::Read(void* buffer, UINT count)
{
    return static_cast<UINT>(Transfer().Read(buffer, count));
}

BOOL CHttpFile::ReadString(std::string& lineBytes, std::size_t maxLength)
{
    return Transfer().ReadLine(lineBytes, maxLength) ? TRUE : FALSE;
}

BOOL CHttpFile::ReadString(CString& line)
{
    std::string bytes;
    if (!ReadString(bytes))
        return FALSE;
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    std::wstring text;
    for (char byte : bytes)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    line = CString(std::move(text));
    return TRUE;
}

void CHttpFile::Close()
{
    m_transfer.reset();
    CStdioFile::Close();
}
