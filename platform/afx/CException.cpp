#include "platform/afx/CException.h"

#include <cstring>

#include "platform/win/Text.h"

CFileException::CFileException(int osError, const CString& fileName)
    : m_lOsError(osError), m_strFileName(fileName)
{
}

CString CFileException::GetErrorMessage() const
{
    CString text;
    CString reason = Utf8ToWide(m_lOsError ? std::strerror(m_lOsError) : "unknown error");
    if (m_strFileName.IsEmpty())
        text.Format(L"A file error occurred: %s.", reason.GetString());
    else
        text.Format(L"A file error occurred with %s: %s.", m_strFileName.GetString(), reason.GetString());
    return text;
}
