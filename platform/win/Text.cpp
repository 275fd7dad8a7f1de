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

void AppendPadded(std::wstring& out, std::wstring_view text, int width, bool leftAlign)
{
    int padding = width - static_cast<int>(text.size());
    if (!leftAlign && padding > 0)
        out.append(static_cast<size_t>(padding), L' ');
    out.append(text);
    if (leftAlign && padding > 0)
        out.append(static_cast<size_t>(padding), L' ');
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* source, int sourceLength,
                        LPWSTR destination, int destinationSize)
{
    if (!source || sourceLength < -1 || destinationSize < 0)
        return 0;
    size_t length = sourceLength == -1 ? std::strlen(source) + 1 : static_cast<size_t>(sourceLength);
    std::wstring decoded = codePage == CP_UTF8 ? Utf8ToWide(std::string_view(source, length))
                                               : DecodeLocale(source, length);
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
        std::string flags;
        while (*p == L'-' || *p == L'0' || *p == L'+' || *p == L' ' || *p == L'#')
            flags.push_back(static_cast<char>(*p++));
        int width = 0;
        if (*p == L'*') {
            width = va_arg(args, int);
            ++p;
        } else {
            while (*p >= L'0' && *p <= L'9')
                width = width * 10 + (*p++ - L'0');
        }
        int precision = -1;
        if (*p == L'.') {
            ++p;
            precision = 0;
            if (*p == L'*') {
                precision = va_arg(args, int);
                ++p;
            } else {
                while (*p >= L'0' && *p <= L'9')
                    precision = precision * 10 + (*p++ - L'0');
            }
        }
        enum class Size { Int, Long, LongLong, Short } size = Size::Int;
        if (*p == L'h') {
            size = Size::Short;
            ++p;
        } else if (*p == L'l') {
            ++p;
            size = Size::Long;
            if (*p == L'l') {
                size = Size::LongLong;
                ++p;
            }
        } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            size = Size::LongLong;
            p += 3;
        }
        bool leftAlign = flags.find('-') != std::string::npos;
        wchar_t conversion = *p;
        if (!conversion)
            break;
        switch (conversion) {
        case L'd':
        case L'i':
        case L'u':
        case L'x':
        case L'X': {
            bool isSigned = conversion == L'd' || conversion == L'i';
            std::string spec = "%" + flags;
            if (width > 0)
                spec += std::to_string(width);
            if (precision >= 0)
                spec += "." + std::to_string(precision);
            spec += "ll";
            spec.push_back(static_cast<char>(conversion == L'i' ? L'd' : conversion));
            char digits[128];
            if (isSigned) {
                long long value = size == Size::LongLong ? va_arg(args, long long)
                                  : size == Size::Long   ? va_arg(args, long)
                                                         : va_arg(args, int);
                if (size == Size::Short)
                    value = static_cast<short>(value);
                std::snprintf(digits, sizeof digits, spec.c_str(), value);
            } else {
                unsigned long long value = size == Size::LongLong ? va_arg(args, unsigned long long)
                                           : size == Size::Long   ? va_arg(args, unsigned long)
                                                                  : va_arg(args, unsigned int);
                if (size == Size::Short)
                    value = static_cast<unsigned short>(value);
                std::snprintf(digits, sizeof digits, spec.c_str(), value);
            }
            for (const char* d = digits; *d; ++d)
                out.push_back(static_cast<wchar_t>(*d));
            break;
        }
        case L'c': {
            wchar_t c = static_cast<wchar_t>(va_arg(args, int));
            AppendPadded(out, std::wstring_view(&c, 1), width, leftAlign);
            break;
        }
        case L's': {
            const wchar_t* s = va_arg(args, const wchar_t*);
            std::wstring_view text = s ? std::wstring_view(s) : std::wstring_view(L"(null)");
            if (precision >= 0 && text.size() > static_cast<size_t>(precision))
                text = text.substr(0, static_cast<size_t>(precision));
            AppendPadded(out, text, width, leftAlign);
            break;
        }
        case L'S': {
            const char* s = va_arg(args, const char*);
            std::wstring text = Utf8ToWide(s ? s : "(null)");
            if (precision >= 0 && text.size() > static_cast<size_t>(precision))
                text.resize(static_cast<size_t>(precision));
            AppendPadded(out, text, width, leftAlign);
            break;
        }
        default:  // unknown conversion: kept as written
            out.push_back(L'%');
            out.push_back(conversion);
            break;
        }
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
