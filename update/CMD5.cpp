#include "update/CMD5.h"

#include <cstring>
#include <new>

#include "platform/win/Text.h"
#include "platform/win/ThreadQueues.h"

namespace {

constexpr std::size_t kBlockSize = 64;

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
constexpr std::uint32_t RotateLeft(std::uint32_t value, int count)
{
    return (value << count) | (value >> (32 - count));
}

// Three of the rounds' four auxiliary functions (G is in StepG), each written so that x, the word
// the previous step has just made, comes in as late as possible; the rest is worked out while
// that step still runs.
constexpr std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
constexpr std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ (y ^ z); }
constexpr std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

using Auxiliary = std::uint32_t (*)(std::uint32_t, std::uint32_t, std::uint32_t);

// One of the 64 steps, written out so that the compiler keeps the state in registers.
template <Auxiliary function, int shift>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                 std::uint32_t constant)
{
    a = b + RotateLeft(a + word + constant + function(b, c, d), shift);
}

// The second round's function G(b, c, d) = (b & d) | (c & ~d): the two halves share no bit, so
// they are added one after the other, and only the half with b waits for the previous step.
template <int shift>
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                  std::uint32_t constant)
{
    a = b + RotateLeft(a + word + constant + (c & ~d) + (b & d), shift);
}

std::uint32_t LittleEndianWord(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
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
    // CFile opens a regular file only and never waits: a FIFO or a device could make a read wait
    // for good or never end.
    if (m_file.Open(m_szFileName.c_str(), CFile::modeRead | CFile::typeBinary | CFile::shareDenyNone)) {
        m_pChunk.reset(new (std::nothrow) Chunk);
        if (!m_pChunk)
            m_file.Close();
    }
    if (!m_file.IsOpen())
        m_bOK = false;
}

void CMD5::FillChunk()
{
    if (!m_file.IsOpen()) {
        m_bDataEnded = true;  // a file that was not opened gives no data
        return;
    }
    std::size_t remaining = m_nChunkFill - m_nChunkPosition;
    std::memmove(m_pChunk->bytes, m_pChunk->bytes + m_nChunkPosition, remaining);
    m_nChunkFill = remaining;
    m_nChunkPosition = 0;
    while (m_nChunkFill < kChunkSize) {
        UINT n = 0;
        try {
            n = m_file.Read(m_pChunk->bytes + m_nChunkFill, static_cast<UINT>(kChunkSize - m_nChunkFill));
        } catch (const CFileException&) {
        }
        if (n == 0) {
            m_bDataEnded = true;  // the end, or a failed read: the data ends here either way
            return;
        }
        m_nChunkFill += n;
    }
}

bool CMD5::ReadBlock()
{
    std::uint8_t* block = m_pData.get();
    if (!block)
        return false;  // no buffer: nothing to read into, and no digest is given
    std::size_t available = 0;
    if (m_bLengthPending) {
        std::memset(block, 0, kBlockSize);
    } else {
        if (m_nChunkFill - m_nChunkPosition < kBlockSize && !m_bDataEnded)
            FillChunk();
        available = m_nChunkFill - m_nChunkPosition;
        if (available >= kBlockSize) {
            m_pBlock = m_pChunk->bytes + m_nChunkPosition;
            m_nChunkPosition += kBlockSize;
            m_nByteCount += kBlockSize;
            return true;
        }
        // The data ends in this block.
        if (available > 0)
            std::memcpy(block, m_pChunk->bytes + m_nChunkPosition, available);
        m_nChunkPosition += available;
        m_nByteCount += available;
        std::memset(block + available, 0, kBlockSize - available);
        block[available] = 0x80;
    }
    m_pBlock = block;
    if (available >= 56) {
        // The length does not fit behind the marker: a final block of zeros follows.
        m_bLengthPending = true;
        return true;
    }
    std::uint64_t bits = m_nByteCount * 8;
    for (int i = 0; i < 8; ++i)
        block[56 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
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
    for (int i = 0; i < 16; ++i)
        words[i] = LittleEndianWord(m_pBlock + 4 * i);
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    Step<F, 7>(a, b, c, d, words[0], kSine[0]);
    Step<F, 12>(d, a, b, c, words[1], kSine[1]);
    Step<F, 17>(c, d, a, b, words[2], kSine[2]);
    Step<F, 22>(b, c, d, a, words[3], kSine[3]);
    Step<F, 7>(a, b, c, d, words[4], kSine[4]);
    Step<F, 12>(d, a, b, c, words[5], kSine[5]);
    Step<F, 17>(c, d, a, b, words[6], kSine[6]);
    Step<F, 22>(b, c, d, a, words[7], kSine[7]);
    Step<F, 7>(a, b, c, d, words[8], kSine[8]);
    Step<F, 12>(d, a, b, c, words[9], kSine[9]);
    Step<F, 17>(c, d, a, b, words[10], kSine[10]);
    Step<F, 22>(b, c, d, a, words[11], kSine[11]);
    Step<F, 7>(a, b, c, d, words[12], kSine[12]);
    Step<F, 12>(d, a, b, c, words[13], kSine[13]);
    Step<F, 17>(c, d, a, b, words[14], kSine[14]);
    Step<F, 22>(b, c, d, a, words[15], kSine[15]);
    StepG<5>(a, b, c, d, words[1], kSine[16]);
    StepG<9>(d, a, b, c, words[6], kSine[17]);
    StepG<14>(c, d, a, b, words[11], kSine[18]);
    StepG<20>(b, c, d, a, words[0], kSine[19]);
    StepG<5>(a, b, c, d, words[5], kSine[20]);
    StepG<9>(d, a, b, c, words[10], kSine[21]);
    StepG<14>(c, d, a, b, words[15], kSine[22]);
    StepG<20>(b, c, d, a, words[4], kSine[23]);
    StepG<5>(a, b, c, d, words[9], kSine[24]);
    StepG<9>(d, a, b, c, words[14], kSine[25]);
    StepG<14>(c, d, a, b, words[3], kSine[26]);
    StepG<20>(b, c, d, a, words[8], kSine[27]);
    StepG<5>(a, b, c, d, words[13], kSine[28]);
    StepG<9>(d, a, b, c, words[2], kSine[29]);
    StepG<14>(c, d, a, b, words[7], kSine[30]);
    StepG<20>(b, c, d, a, words[12], kSine[31]);
    Step<H, 4>(a, b, c, d, words[5], kSine[32]);
    Step<H, 11>(d, a, b, c, words[8], kSine[33]);
    Step<H, 16>(c, d, a, b, words[11], kSine[34]);
    Step<H, 23>(b, c, d, a, words[14], kSine[35]);
    Step<H, 4>(a, b, c, d, words[1], kSine[36]);
    Step<H, 11>(d, a, b, c, words[4], kSine[37]);
    Step<H, 16>(c, d, a, b, words[7], kSine[38]);
    Step<H, 23>(b, c, d, a, words[10], kSine[39]);
    Step<H, 4>(a, b, c, d, words[13], kSine[40]);
    Step<H, 11>(d, a, b, c, words[0], kSine[41]);
    Step<H, 16>(c, d, a, b, words[3], kSine[42]);
    Step<H, 23>(b, c, d, a, words[6], kSine[43]);
    Step<H, 4>(a, b, c, d, words[9], kSine[44]);
    Step<H, 11>(d, a, b, c, words[12], kSine[45]);
    Step<H, 16>(c, d, a, b, words[15], kSine[46]);
    Step<H, 23>(b, c, d, a, words[2], kSine[47]);
    Step<I, 6>(a, b, c, d, words[0], kSine[48]);
    Step<I, 10>(d, a, b, c, words[7], kSine[49]);
    Step<I, 15>(c, d, a, b, words[14], kSine[50]);
    Step<I, 21>(b, c, d, a, words[5], kSine[51]);
    Step<I, 6>(a, b, c, d, words[12], kSine[52]);
    Step<I, 10>(d, a, b, c, words[3], kSine[53]);
    Step<I, 15>(c, d, a, b, words[10], kSine[54]);
    Step<I, 21>(b, c, d, a, words[1], kSine[55]);
    Step<I, 6>(a, b, c, d, words[8], kSine[56]);
    Step<I, 10>(d, a, b, c, words[15], kSine[57]);
    Step<I, 15>(c, d, a, b, words[6], kSine[58]);
    Step<I, 21>(b, c, d, a, words[13], kSine[59]);
    Step<I, 6>(a, b, c, d, words[4], kSine[60]);
    Step<I, 10>(d, a, b, c, words[11], kSine[61]);
    Step<I, 15>(c, d, a, b, words[2], kSine[62]);
    Step<I, 21>(b, c, d, a, words[9], kSine[63]);
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

std::wstring CMD5::DigestFile(LPCWSTR fileName, const std::function<bool()>& stopped)
{
    CMD5 md5;
    md5.Init();
    md5.AssignFile(fileName);
    bool more;
    int blocks = 0;
    do {
        if (stopped && ++blocks % kStopCheckBlocks == 0 && stopped())
            return L"";
        more = md5.ReadBlock();
        md5.Transform();
    } while (more);
    md5.FormatDigest();
    LPCWSTR digest = md5.GetDigest();
    return digest ? digest : L"";
}
