#include "platform/win/Text.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <locale.h>
#include <mutex>
#include <string_view>

namespace {

locale_t UserCharacterLocale()
{
    static locale_t locale = [] {
        locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (!user)
            user = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return user;
    }();
    return locale;
}

std::wstring DecodeLocale(const char* source, size_t length)
{
    std::wstring result;
    result.reserve(length);
    locale_t user = UserCharacterLocale();
    locale_t previous = user ? uselocale(user) : static_cast<locale_t>(nullptr);
    std::mbstate_t state{};
    size_t i = 0;
    while (i < length) {
        wchar_t unit = 0;
        size_t used = std::mbrtowc(&unit, source + i, length - i, &state);
        if (used == 0) {  // an embedded NUL
            result.push_back(L'\0');
            i += 1;
        } else if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            result.push_back(L'\xFFFD');
            state = std::mbstate_t{};
            i += 1;
        } else {
            result.push_back(unit);
            i += used;
        }
    }
    if (user)
        uselocale(previous);
    return result;
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, const char* source, int sourceLength,
                        LPWSTR destination, int destinationSize)
{
    if (!source || sourceLength < -1 || destinationSize < 0)
        return 0;
    size_t length = sourceLength == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceLength);
    std::wstring decoded = DecodeLocale(source, length);
    int needed = static_cast<int>(decoded.size());
    if (destinationSize == 0)
        return needed;
    if (!destination || needed > destinationSize)
        return 0;
    std::wmemcpy(destination, decoded.data(), decoded.size());
    return needed;
}

int lstrcmpW(LPCWSTR first, LPCWSTR second)
{
    if (!first || !second)
        return first == second ? 0 : (first ? 1 : -1);
    int r = std::wcscmp(first, second);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...)
{
    constexpr size_t limit = 1024;
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatText(format, arguments);
    va_end(arguments);
    if (text.size() > limit - 1)
        text.resize(limit - 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

std::wstring FormatText(LPCWSTR format, va_list arguments)
{
    std::wstring out;
    if (!format)
        return out;
    va_list args;
    va_copy(args, arguments);
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%') {
            out.push_back(*p);
            continue;
        }
        ++p;
        if (*p == L'%') {
            out.push_back(L'%');
            continue;
        }
        const bool zeroPad = *p == L'0';
        if (zeroPad)
            ++p;
        std::size_t width = 0;
        while (*p >= L'0' && *p <= L'9')
            width = width * 10 + static_cast<std::size_t>(*p++ - L'0');
        std::wstring field;
        switch (*p) {
        case L'd':
            field = std::to_wstring(va_arg(args, int));
            break;
        case L'x': {
            wchar_t digits[16];
            std::swprintf(digits, std::size(digits), L"%x", va_arg(args, unsigned int));
            field = digits;
            break;
        }
        case L's': {
            const wchar_t* text = va_arg(args, const wchar_t*);
            field = text ? text : L"(null)";
            break;
        }
        case L'\0':
            va_end(args);
            return out;
        default:  // a conversion the launcher does not use: kept as written
            out.push_back(L'%');
            out.push_back(*p);
            continue;
        }
        if (field.size() < width) {
            // Zeros go after a sign, spaces before it.
            const std::size_t at = zeroPad && field[0] == L'-' ? 1 : 0;
            field.insert(at, width - field.size(), zeroPad ? L'0' : L' ');
        }
        out += field;
    }
    va_end(args);
    return out;
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<std::uint32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        std::uint32_t c = extra == 0 ? b : (b & (0x3F >> extra));
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (!valid || c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(c));
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}
