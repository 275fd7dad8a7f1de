#include "app/GameStart.h"

#include "platform/win/FileSystem.h"

CString GetModuleDirectory()
{
    const std::wstring path = GetModuleFilePath();
    size_t separator = path.find_last_of(L"/\\");
    return separator == std::wstring::npos ? CString() : CString(path.substr(0, separator + 1));
}

CString QuoteCommandLineArgument(const CString& argument)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t unit : argument.str()) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        if (unit == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(unit);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return CString(std::move(quoted));
}

CString BuildGameParameters(const CString& startParam, const CString& moduleDirectory)
{
    const std::wstring& text = startParam.str();
    CString parameter(text.substr(0, text.find(L'\0')));
    return QuoteCommandLineArgument(parameter) + L" " + QuoteCommandLineArgument(moduleDirectory);
}
