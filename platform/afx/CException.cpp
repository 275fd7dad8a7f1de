#include "platform/afx/CException.h"

#include <cerrno>
#include <cstring>

#include "platform/win/Text.h"

namespace {

int CauseOf(int osError)
{
    switch (osError) {
    case 0:
        return CFileException::none;
    case ENOENT:
        return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EISDIR:
        return CFileException::badPath;
    case EMFILE:
    case ENFILE:
        return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return CFileException::accessDenied;
    case ENOSPC:
    case EDQUOT:
        return CFileException::diskFull;
    case EIO:
        return CFileException::hardIO;
    default:
        return CFileException::genericException;
    }
}

}  // namespace

CFileException::CFileException(int osError, const CString& fileName)
    : m_cause(CauseOf(osError)), m_lOsError(osError), m_strFileName(fileName)
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
