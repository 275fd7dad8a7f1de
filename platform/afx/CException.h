// The class library's exceptions, thrown by value and caught by reference. GetErrorMessage gives
// the whole text (the class library fills a caller's buffer instead).
#pragma once

#include "platform/afx/CString.h"

class CException {
public:
    virtual ~CException() = default;
    virtual CString GetErrorMessage() const = 0;
};

class CMemoryException : public CException {
public:
    CString GetErrorMessage() const override { return L"Out of memory."; }
};

class CFileException : public CException {
public:
    // From an errno value of the failed call.
    CFileException(int osError, const CString& fileName);

    CString GetErrorMessage() const override;

    int m_lOsError = 0;
    CString m_strFileName;
};
