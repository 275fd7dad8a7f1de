// CString: the class library's wide text, over std::wstring (wchar_t units on Linux).
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_text(text, static_cast<size_t>(length)) {}
    CString(std::wstring text) : m_text(std::move(text)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const std::wstring& str() const { return m_text; }

    CString& operator=(const wchar_t* text);
    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t unit);

    int Compare(const wchar_t* text) const;

    // Positions are indexes; -1 when not found.
    int Find(wchar_t unit, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t unit) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Every occurrence, left to right, without overlap; returns how many were replaced.
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Replace(wchar_t oldUnit, wchar_t newUnit);

    CString& MakeLower();

    // "%s" takes a wide string, as in the class library.
    void Format(const wchar_t* format, ...);

    friend CString operator+(const CString& left, const CString& right);
    friend CString operator+(const CString& left, const wchar_t* right);
    friend CString operator+(const wchar_t* left, const CString& right);
    friend CString operator+(const CString& left, wchar_t right);

    friend bool operator==(const CString& left, const CString& right) { return left.m_text == right.m_text; }
    friend bool operator==(const CString& left, const wchar_t* right) { return left.Compare(right) == 0; }
    friend std::strong_ordering operator<=>(const CString& left, const CString& right)
    {
        return left.m_text <=> right.m_text;
    }

private:
    std::wstring m_text;
};
