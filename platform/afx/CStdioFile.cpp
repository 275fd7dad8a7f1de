#include "platform/afx/CStdioFile.h"

#include <cstring>

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr unsigned char kEndOfText = 0x1A;

}  // namespace

BOOL CStdioFile::Open(LPCWSTR path, UINT openFlags)
{
    m_buffer.clear();
    m_position = 0;
    m_textEnded = false;
    return CFile::Open(path, openFlags);
}

CStdioFile::~CStdioFile()
{
    try {
        Flush();
    } catch (const CFileException&) {
        // a destructor cannot report it; callers that care close the file themselves
    }
}

void CStdioFile::Write(const void* buffer, UINT count)
{
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    if (m_pending.size() + count > kBufferSize)
        Flush();
    if (count >= kBufferSize) {
        CFile::Write(bytes, count);
        return;
    }
    m_pending.insert(m_pending.end(), bytes, bytes + count);
}

void CStdioFile::Flush()
{
    if (m_pending.empty() || !IsOpen())
        return;
    std::vector<unsigned char> pending;
    pending.swap(m_pending);
    CFile::Write(pending.data(), static_cast<UINT>(pending.size()));
}

void CStdioFile::Close()
{
    if (IsOpen()) {
        try {
            Flush();
        } catch (const CFileException&) {
            CFile::Close();
            m_buffer.clear();
            m_position = 0;
            throw;
        }
    }
    m_pending.clear();
    m_buffer.clear();
    m_position = 0;
    m_textEnded = false;
    CFile::Close();
}

bool CStdioFile::FillBuffer()
{
    m_buffer.resize(kBufferSize);
    m_position = 0;
    UINT n = CFile::Read(m_buffer.data(), static_cast<UINT>(kBufferSize));
    m_buffer.resize(n);
    return n > 0;
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    size_t buffered = m_buffer.size() - m_position;
    if (buffered == 0)
        return CFile::Read(buffer, count);
    size_t n = buffered < count ? buffered : count;
    std::memcpy(buffer, m_buffer.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

BOOL CStdioFile::ReadString(CString& line)
{
    return ReadString(line, std::wstring::npos);
}

BOOL CStdioFile::ReadString(CString& line, size_t maxLength)
{
    if (m_textEnded)
        return FALSE;
    std::wstring text;
    bool any = false;
    for (;;) {
        if (m_position == m_buffer.size() && !FillBuffer())
            break;
        unsigned char byte = m_buffer[m_position++];
        if (byte == kEndOfText) {
            m_textEnded = true;
            break;
        }
        any = true;
        if (byte == '\n') {
            if (!text.empty() && text.back() == L'\r')
                text.pop_back();
            line = CString(std::move(text));
            return TRUE;
        }
        text.push_back(static_cast<wchar_t>(byte));
        if (text.size() > maxLength)
            break;
    }
    if (!any)
        return FALSE;
    line = CString(std::move(text));
    return TRUE;
}
