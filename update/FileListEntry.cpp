#include "update/FileListEntry.h"

#include <algorithm>
#include <climits>
#include <cwctype>

LONGLONG ParseListedNumber(const wchar_t* text)
{
    const wchar_t* p = text;
    while (*p && std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-')
        negative = *p++ == L'-';
    unsigned long long magnitude = 0;
    const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        const auto digit = static_cast<unsigned long long>(*p - L'0');
        // Tested before the step, which could wrap around.
        if (magnitude > (limit - digit) / 10)
            return negative ? LLONG_MIN : LLONG_MAX;
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<LONGLONG>(0 - magnitude) : static_cast<LONGLONG>(magnitude);
}

FileListEntry FileListEntry::Parse(const CString& line)
{
    FileListEntry entry;
    int firstTab = line.Find(L'\t');
    int secondTab = firstTab >= 0 ? line.Find(L'\t', firstTab + 1) : -1;
    int thirdTab = secondTab >= 0 ? line.Find(L'\t', secondTab + 1) : -1;
    if (firstTab >= 0)
        entry.strPath = line.Left(firstTab);
    if (secondTab >= 0)
        entry.nVersion = static_cast<int>(std::clamp<LONGLONG>(
            ParseListedNumber(line.Mid(firstTab + 1, secondTab - firstTab - 1)), INT_MIN, INT_MAX));
    if (thirdTab >= 0)
        entry.strMD5 = line.Mid(secondTab + 1, thirdTab - secondTab - 1);
    int lastTab = thirdTab >= 0 ? thirdTab : secondTab >= 0 ? secondTab : firstTab;
    entry.nSize = std::max<LONGLONG>(0, ParseListedNumber(line.Mid(lastTab + 1)));
    return entry;
}

CString FileListEntry::LocalPath() const
{
    CString path = strPath;
    path.Replace(L'$', L' ');
    path.Replace(L"..\\DataSource", L"..\\Data");
    CString local;
    local.Format(L"%s\\%s", kClientDataFolder, path.GetString());
    return local;
}

bool FileListEntry::IsInsideGameFolder(const CString& localPath)
{
    const std::wstring& text = localPath.str();
    if (text.empty() || text.find(L'\0') != std::wstring::npos)
        return false;
    if (text[0] == L'\\' || text[0] == L'/' || (text.size() >= 2 && text[1] == L':'))
        return false;
    int depth = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L"\\/", start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring_view segment(text.data() + start, end - start);
        if (segment.size() >= 2 && segment[1] == L':')
            return false;
        if (segment == L"..") {
            if (--depth < 0)
                return false;
        } else if (!segment.empty() && segment != L".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}
