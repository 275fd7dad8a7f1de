#include "update/FileListEntry.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <string_view>

#include "platform/win/FileSystem.h"

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

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789abcdef";

int HexValue(wchar_t unit)
{
    if (unit >= L'0' && unit <= L'9')
        return unit - L'0';
    if (unit >= L'a' && unit <= L'f')
        return unit - L'a' + 10;
    return -1;
}

// The 16 bytes of 32 lowercase hexadecimal digits; none for any other text.
std::optional<FileListEntry::Digest> ParseDigest(std::wstring_view text)
{
    FileListEntry::Digest digest;
    if (text.size() != 2 * digest.size())
        return std::nullopt;
    for (size_t i = 0; i < digest.size(); ++i) {
        int high = HexValue(text[2 * i]);
        int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return digest;
}

}  // namespace

FileListEntry FileListEntry::Parse(const CString& line)
{
    FileListEntry entry;
    const std::wstring& text = line.str();
    int firstTab = line.Find(L'\t');
    int secondTab = firstTab >= 0 ? line.Find(L'\t', firstTab + 1) : -1;
    int thirdTab = secondTab >= 0 ? line.Find(L'\t', secondTab + 1) : -1;
    // Each character is one byte of the list.
    if (firstTab >= 0) {
        entry.strPath.resize(static_cast<size_t>(firstTab));
        std::transform(text.begin(), text.begin() + firstTab, entry.strPath.begin(),
                       [](wchar_t unit) { return static_cast<char>(unit); });
    }
    if (secondTab >= 0)
        entry.nVersion = static_cast<int>(std::clamp<LONGLONG>(
            ParseListedNumber(line.Mid(firstTab + 1, secondTab - firstTab - 1)), INT_MIN, INT_MAX));
    if (thirdTab >= 0)
        entry.strMD5 = ParseDigest(std::wstring_view(text).substr(secondTab + 1, thirdTab - secondTab - 1));
    int lastTab = thirdTab >= 0 ? thirdTab : secondTab >= 0 ? secondTab : firstTab;
    entry.nSize = std::max<LONGLONG>(0, ParseListedNumber(line.Mid(lastTab + 1)));
    return entry;
}

CString FileListEntry::Path() const
{
    std::wstring text;
    text.reserve(strPath.size());
    for (char byte : strPath)
        text.push_back(static_cast<unsigned char>(byte));
    return CString(std::move(text));
}

CString FileListEntry::MD5() const
{
    std::wstring text;
    if (strMD5) {
        for (std::uint8_t byte : *strMD5) {
            text.push_back(kHexDigits[byte >> 4]);
            text.push_back(kHexDigits[byte & 15]);
        }
    }
    return CString(std::move(text));
}

CString FileListEntry::LocalPath() const
{
    CString path = Path();
    path.Replace(L'$', L' ');
    path.Replace(L"..\\DataSource", L"..\\Data");
    // Joined, not formatted: a NUL in the listed path stays in the text, where the containment
    // check refuses it, instead of cutting the path short.
    return CString(kClientDataFolder) + L"\\" + path;
}

bool FileListEntry::IsInsideGameFolder(const CString& localPath)
{
    const std::wstring& text = localPath.str();
    if (text.empty() || text.find(L'\0') != std::wstring::npos)
        return false;
    if (text[0] == L'\\' || text[0] == L'/')
        return false;
    // A drive anywhere ("C:", "x\C:\y").
    for (size_t colon = text.find(L':'); colon != std::wstring::npos; colon = text.find(L':', colon + 1)) {
        if (colon == 1 || (colon >= 2 && (text[colon - 2] == L'\\' || text[colon - 2] == L'/')))
            return false;
    }
    // Judged as the file system will see it.
    std::wstring folded = FoldedPath(text);
    return folded != L".." && folded.rfind(L"../", 0) != 0;
}

bool FileListEntry::FitsFileSystem(const CString& localPath)
{
    if (static_cast<size_t>(localPath.GetLength()) >= PATH_MAX)
        return false;
    std::string native = NativePath(localPath);
    if (native.size() >= PATH_MAX)
        return false;
    size_t nameStart = 0;
    for (size_t slash = native.find('/'); ; slash = native.find('/', nameStart)) {
        size_t nameEnd = slash == std::string::npos ? native.size() : slash;
        if (nameEnd - nameStart > NAME_MAX)
            return false;
        if (slash == std::string::npos)
            return true;
        nameStart = slash + 1;
    }
}
