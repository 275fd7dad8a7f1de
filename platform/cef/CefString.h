// CefString: the engine's text at its boundary. It holds wide text (UTF-32 wchar_t on Linux, where
// the framework has UTF-16) and converts from and to UTF-8, the form of WebKit's and of process
// message names. Text may contain NUL characters.
#pragma once

#include <string>
#include <string_view>

class CefString {
public:
    CefString() = default;
    CefString(const char* utf8) : CefString(std::string_view(utf8 ? utf8 : "")) {}
    CefString(const std::string& utf8) : CefString(std::string_view(utf8)) {}
    CefString(std::string_view utf8);
    CefString(const wchar_t* text) : m_text(text ? text : L"") {}
    CefString(std::wstring text) : m_text(std::move(text)) {}

    std::string ToString() const;
    const std::wstring& ToWString() const { return m_text; }
    const wchar_t* c_str() const { return m_text.c_str(); }
    bool empty() const { return m_text.empty(); }

    friend bool operator==(const CefString& left, const CefString& right) = default;

private:
    std::wstring m_text;
};
