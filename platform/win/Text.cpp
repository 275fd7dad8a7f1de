#include "platform/win/Text.h"

#include <glib.h>

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

// GLib's whole-text converters (g_ucs4_to_utf8, g_utf8_to_ucs4) refuse a text with one bad unit
// in it; these convert it whole, a bad unit as U+FFFD, and leave the encoding to GLib.
std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    char encoded[6];
    for (wchar_t unit : text) {
        auto character = static_cast<gunichar>(unit);
        if (!g_unichar_validate(character))  // a surrogate or beyond U+10FFFF
            character = 0xFFFD;
        out.append(encoded, static_cast<size_t>(g_unichar_to_utf8(character, encoded)));
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    const char* rest = text.data();
    const char* const end = rest + text.size();
    while (rest < end) {
        // GLib's validation stops at an overlong form, an encoded surrogate, a value beyond
        // U+10FFFF, a cut sequence and a NUL; the bad byte becomes U+FFFD (a NUL stays).
        const char* invalid = end;
        g_utf8_validate_len(rest, static_cast<gsize>(end - rest), &invalid);
        for (const char* p = rest; p < invalid; p = g_utf8_next_char(p))
            out.push_back(static_cast<wchar_t>(g_utf8_get_char(p)));
        if (invalid == end)
            break;
        out.push_back(*invalid == '\0' ? L'\0' : L'\xFFFD');
        rest = invalid + 1;
    }
    return out;
}
