#include "platform/afx/CString.h"

#include <cstdarg>
#include <cwctype>

#include "platform/win/Text.h"

namespace {

size_t ClampIndex(int index, size_t size)
{
    if (index < 0)
        return 0;
    return static_cast<size_t>(index) > size ? size : static_cast<size_t>(index);
}

}  // namespace

CString& CString::operator=(const wchar_t* text)
{
    m_text = text ? text : L"";
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    if (text)
        m_text += text;
    return *this;
}

CString& CString::operator+=(wchar_t unit)
{
    m_text += unit;
    return *this;
}

int CString::Compare(const wchar_t* text) const
{
    int r = m_text.compare(text ? text : L"");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::Find(wchar_t unit, int start) const
{
    size_t at = m_text.find(unit, ClampIndex(start, m_text.size()));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* text, int start) const
{
    if (!text)
        return -1;
    size_t at = m_text.find(text, ClampIndex(start, m_text.size()));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t unit) const
{
    size_t at = m_text.rfind(unit);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const
{
    return CString(m_text.substr(0, ClampIndex(count, m_text.size())));
}

CString CString::Mid(int first) const
{
    return CString(m_text.substr(ClampIndex(first, m_text.size())));
}

CString CString::Mid(int first, int count) const
{
    size_t from = ClampIndex(first, m_text.size());
    return CString(m_text.substr(from, ClampIndex(count, m_text.size() - from)));
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    std::wstring_view from = oldText ? oldText : L"";
    std::wstring_view to = newText ? newText : L"";
    if (from.empty())
        return 0;
    int count = 0;
    std::wstring result;
    size_t position = 0;
    for (size_t at; (at = m_text.find(from, position)) != std::wstring::npos; position = at + from.size()) {
        result.append(m_text, position, at - position);
        result.append(to);
        ++count;
    }
    if (count) {
        result.append(m_text, position);
        m_text = std::move(result);
    }
    return count;
}

int CString::Replace(wchar_t oldUnit, wchar_t newUnit)
{
    int count = 0;
    for (wchar_t& unit : m_text) {
        if (unit == oldUnit) {
            unit = newUnit;
            ++count;
        }
    }
    return count;
}

CString& CString::MakeLower()
{
    for (wchar_t& unit : m_text)
        unit = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(unit)));
    return *this;
}

void CString::Format(const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    m_text = FormatText(format, arguments);
    va_end(arguments);
}

CString operator+(const CString& left, const CString& right)
{
    return CString(left.m_text + right.m_text);
}

CString operator+(const CString& left, const wchar_t* right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const wchar_t* left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, wchar_t right)
{
    CString result(left);
    result += right;
    return result;
}
