// The MD5 digest (RFC 1321) of one file, as 32 lowercase hexadecimal digits. The file is read in
// 64-byte blocks; before each block the calling thread's message queue is drained.
//
// One object serves one file: Init, AssignFile, then ReadBlock + Transform while ReadBlock returns
// true (the block prepared by the false call is transformed too), FormatDigest, GetDigest.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "platform/win/WinTypes.h"

class CMD5 {
public:
    void Init();
    void AssignFile(LPCWSTR fileName);
    bool ReadBlock();
    void Transform();
    void FormatDigest();
    // Null when the digest could not be made.
    LPCWSTR GetDigest() const { return m_bOK ? m_szDigest : nullptr; }

private:
    std::ifstream m_stream;
    std::unique_ptr<char[]> m_streamBuffer;
    std::uint8_t* m_pBlock = nullptr;
    std::unique_ptr<std::uint8_t[]> m_pData;
    std::uint32_t m_state[4] = {};
    bool m_bOK = false;
    std::wstring m_szFileName;
    std::uint64_t m_nByteCount = 0;
    wchar_t m_szDigest[33] = {};
};
