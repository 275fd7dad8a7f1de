#include "platform/inet/CInternetFile.h"

namespace {

[[noreturn]] void ThrowUnsupported()
{
    throw CInternetException(ERROR_INTERNET_UNRECOGNIZED_SCHEME,
                             L"The URL scheme could not be recognized, or is not supported.");
}

}  // namespace

CInternetFile::CInternetFile(const CString& url) : m_strUrl(url) {}

UINT CInternetFile::Read(void*, UINT)
{
    ThrowUnsupported();
}

BOOL CInternetFile::ReadString(CString&)
{
    ThrowUnsupported();
}
