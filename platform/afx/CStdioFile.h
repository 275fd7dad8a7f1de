// CStdioFile: a buffered file. ReadString reads one byte as one character; LF ends a line and a
// CR right before it is dropped; a byte 0x1A ends the text. Writes are buffered: Flush and Close
// write out what is pending and throw CFileException when that fails.
#pragma once

#include <vector>

#include "platform/afx/CFile.h"

class CStdioFile : public CFile {
public:
    BOOL Open(LPCWSTR path, UINT openFlags) override;
    ~CStdioFile() override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    void Flush();
    void Close() override;
    // FALSE at the end of the text, the line untouched. Throws CFileException on a failed read.
    virtual BOOL ReadString(CString& line);
    // The same, but a line longer than maxLength bytes (a CR before its LF counted) gives its first
    // maxLength + 1 bytes and the rest stays unread, so a line never takes more memory than asked.
    BOOL ReadString(CString& line, size_t maxLength);

private:
    bool FillBuffer();

    std::vector<unsigned char> m_buffer;
    std::vector<unsigned char> m_pending;
    size_t m_position = 0;
    bool m_textEnded = false;
};
