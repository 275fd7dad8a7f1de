// The MD5 digest (RFC 1321) of one file, as 32 lowercase hexadecimal digits. The file is digested
// in 64-byte blocks; before each block the calling thread's message queue is drained.
//
// One object serves one file: Init, AssignFile, then ReadBlock + Transform while ReadBlock returns
// true (the block prepared by the false call is transformed too), FormatDigest, GetDigest.
// DigestFile runs that sequence for one file.
//
// Only a regular file is read: anything else (a FIFO, a device, a folder) yields no digest, and
// opening never waits. The file is read in large chunks; a full block is compressed where it lies
// in the chunk, and only the padding blocks go through the 64-byte block buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/afx/CFile.h"
#include "platform/win/WinTypes.h"

class CMD5 {
public:
    CMD5() = default;
    CMD5(const CMD5&) = delete;
    CMD5& operator=(const CMD5&) = delete;

    void Init();
    void AssignFile(LPCWSTR fileName);
    bool ReadBlock();
    void Transform();
    void FormatDigest();
    // Null when the digest could not be made.
    LPCWSTR GetDigest() const { return m_bOK ? m_szDigest : nullptr; }
    // Empty when the digest could not be made, or when stopped() answered true: it is asked
    // every kStopCheckBlocks blocks, so a stop never waits for the rest of a large file.
    static std::wstring DigestFile(LPCWSTR fileName, const std::function<bool()>& stopped = {});
    static constexpr int kStopCheckBlocks = 16 * 1024;  // 1 MiB

private:
    static constexpr std::size_t kChunkSize = 64 * 1024;
    struct alignas(64) Chunk {
        std::uint8_t bytes[kChunkSize];
    };

    void FillChunk();

    CFile m_file;
    std::unique_ptr<Chunk> m_pChunk;
    std::size_t m_nChunkFill = 0;      // bytes in the chunk
    std::size_t m_nChunkPosition = 0;  // bytes of the chunk already handed out
    bool m_bDataEnded = false;         // the file gave its last byte, or a read failed
    bool m_bLengthPending = false;     // the marker filled the last data block; the length follows
    const std::uint8_t* m_pBlock = nullptr;
    std::unique_ptr<std::uint8_t[]> m_pData;
    std::uint32_t m_state[4] = {};
    bool m_bOK = false;
    std::wstring m_szFileName;
    std::uint64_t m_nByteCount = 0;
    wchar_t m_szDigest[33] = {};
};
