#include "update/CMD5.h"

#include <cstring>
#include <new>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/WindowHandles.h"

namespace {

constexpr std::size_t kBlockSize = 64;
constexpr std::size_t kStreamBufferSize = 256 * 1024;

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr std::uint32_t RotateLeft(std::uint32_t value, int count)
{
    return (value << count) | (value >> (32 - count));
}

}  // namespace

void CMD5::Init()
{
    m_szFileName.clear();
    m_szDigest[0] = L'\0';
    m_bOK = true;
    m_pData.reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!m_pData)
        m_bOK = false;
    m_pBlock = m_pData.get();
    m_nByteCount = 0;
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
}

void CMD5::AssignFile(LPCWSTR fileName)
{
    m_szFileName = fileName ? fileName : L"";
    if (m_szFileName.empty()) {
        m_bOK = false;
        return;
    }
    m_streamBuffer.reset(new (std::nothrow) char[kStreamBufferSize]);
    if (m_streamBuffer)
        m_stream.rdbuf()->pubsetbuf(m_streamBuffer.get(), kStreamBufferSize);
    std::string path = NativePath(m_szFileName.c_str());
    // A folder opens as a stream on Linux but cannot be read: it counts as not opened.
    if (PathIsDirectoryW(m_szFileName.c_str())) {
        m_bOK = false;
        return;
    }
    m_stream.open(path, std::ios::in | std::ios::binary);
    if (!m_stream.is_open() || m_stream.fail())
        m_bOK = false;
}

bool CMD5::ReadBlock()
{
    if (!m_pBlock)
        return false;  // no buffer: nothing to read into, and no digest is given
    if (m_stream.is_open() && m_stream.eof()) {
        std::memset(m_pBlock, 0, kBlockSize);
    } else {
        std::size_t n = 0;
        if (m_stream.is_open() && !m_stream.fail()) {
            m_stream.read(reinterpret_cast<char*>(m_pBlock), kBlockSize);
            n = static_cast<std::size_t>(m_stream.gcount());
        }
        m_nByteCount += n;
        if (n == kBlockSize)
            return true;
        std::memset(m_pBlock + n, 0, kBlockSize - n);
        m_pBlock[n] = 0x80;
        if (n >= 56) {
            // The length does not fit behind the marker: a final block of zeros follows.
            if (!m_stream.eof())
                m_stream.setstate(std::ios::eofbit);
            return true;
        }
    }
    std::uint64_t bits = m_nByteCount * 8;
    for (int i = 0; i < 8; ++i)
        m_pBlock[56 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return false;
}

void CMD5::Transform()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (!m_pBlock)
        return;

    std::uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* p = m_pBlock + 4 * i;
        words[i] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    }
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int step = 0; step < 64; ++step) {
        int round = step / 16;
        std::uint32_t f;
        int index;
        switch (round) {
        case 0:
            f = (b & c) | (~b & d);
            index = step;
            break;
        case 1:
            f = (d & b) | (~d & c);
            index = (5 * step + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            index = (3 * step + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            index = (7 * step) % 16;
            break;
        }
        std::uint32_t next = b + RotateLeft(a + f + kSine[step] + words[index], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5::FormatDigest()
{
    for (int i = 0; i < 4; ++i) {
        std::uint32_t word = m_state[i];
        std::uint32_t reversed = (word >> 24) | ((word >> 8) & 0xff00) | ((word << 8) & 0xff0000) | (word << 24);
        wsprintfW(m_szDigest + 8 * i, L"%08x", reversed);
    }
}
