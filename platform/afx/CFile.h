// CFile: a binary file over a POSIX descriptor. Linux has no share modes: the share flags are
// accepted and every file stays open to other programs. Only regular files open: a FIFO, a device
// or a folder is refused at once, where Windows would open some of them.
#pragma once

#include "platform/afx/CException.h"
#include "platform/afx/CString.h"
#include "platform/win/UniqueDescriptor.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareExclusive = 0x0010,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile() = default;

    // FALSE when the file cannot be opened.
    virtual BOOL Open(LPCWSTR path, UINT openFlags);
    // Up to count bytes; 0 at the end. Throws CFileException on a failed read.
    virtual UINT Read(void* buffer, UINT count);
    // All count bytes or a CFileException.
    virtual void Write(const void* buffer, UINT count);
    virtual void Close();
    virtual CString GetFilePath() const { return m_strFilePath; }
    bool IsOpen() const { return m_descriptor.IsOpen(); }

protected:
    UniqueDescriptor m_descriptor;
    CString m_strFilePath;
};
