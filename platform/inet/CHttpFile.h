// CHttpFile: the response to an HTTP(S) GET, as CInternetSession::OpenURL returns it. The body
// is pulled from the network as it is read; a failed or cut-short transfer is a
// CInternetException from the read that meets it, never a clean end of the body.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/afx/CStdioFile.h"
#include "platform/inet/CInternetException.h"
#include "platform/inet/InternetConstants.h"

class CurlTransfer;

class CHttpFile : public CStdioFile {
public:
    ~CHttpFile() override;

    // HTTP_QUERY_STATUS_CODE or HTTP_QUERY_CONTENT_LENGTH, read as a number (with or without
    // HTTP_QUERY_FLAG_NUMBER); FALSE when the header is missing, not a number or too large.
    BOOL QueryInfo(DWORD infoLevel, DWORD& value);
    BOOL QueryInfo(DWORD infoLevel, ULONGLONG& value);

    // Up to count body bytes; 0 at the end of the body.
    UINT Read(void* buffer, UINT count) override;
    // The bytes up to the next LF, without it, nothing else changed; FALSE when no byte is left.
    // A line longer than maxLength gives its first maxLength + 1 bytes; the rest stays unread.
    BOOL ReadString(std::string& lineBytes, std::size_t maxLength = std::string::npos);
    // The same line as text: one byte a character, a CR right before the LF dropped.
    BOOL ReadString(CString& line) override;
    // Ends the transfer; later reads throw.
    void Close() override;
    // The object part of the address as requested: path and query behind the host.
    CString GetFilePath() const override { return m_strObject; }

private:
    friend class CInternetSession;
    CHttpFile(std::unique_ptr<CurlTransfer> transfer, const CString& object);

    CurlTransfer& Transfer();

    std::unique_ptr<CurlTransfer> m_transfer;
    CString m_strObject;
};
