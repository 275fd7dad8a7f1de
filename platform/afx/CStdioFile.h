// CStdioFile: a buffered text file. ReadString reads one byte as one character; LF ends a line
// and a CR right before it is dropped; a byte 0x1A ends the text.
#pragma once

#include <vector>

#include "platform/afx/CFile.h"

class CStdioFile : public CFile {
public:
    BOOL Open(LPCWSTR path, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Close() override;
    // FALSE at the end of the text, the line untouched. Throws CFileException on a failed read.
    virtual BOOL ReadString(CString& line);

private:
    bool FillBuffer();

    std::vector<unsigned char> m_buffer;
    size_t m_position = 0;
    bool m_textEnded = false;
};
