// CInternetFile: what CInternetSession::OpenURL returns for an address of a scheme other than
// http and https (ftp, file, ...). It is not an HTTP response. The layer has no client for these
// schemes: opening one makes no connection, and every read throws
// ERROR_INTERNET_UNRECOGNIZED_SCHEME.
#pragma once

#include "platform/afx/CStdioFile.h"
#include "platform/inet/CInternetException.h"

class CInternetFile : public CStdioFile {
public:
    explicit CInternetFile(const CString& url);

    UINT Read(void* buffer, UINT count) override;
    BOOL ReadString(CString& line) override;
    // The address as given.
    CString GetFilePath() const override { return m_strUrl; }

private:
    CString m_strUrl;
};
