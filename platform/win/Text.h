// Text conversion and formatting in the forms the launcher calls them.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/win/WinTypes.h"

constexpr UINT CP_ACP = 0;

// Windows semantics: a length of -1 reads up to and including the terminating NUL; a destination
// size of 0 returns the units needed. The code page is CP_ACP, the character set of the user's
// locale (LC_CTYPE of the environment); bytes that are not valid in it become U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength,
                        LPWSTR destination, int destinationSize);

// The sign of the code-unit comparison (Windows compares by locale; for the launcher's ASCII
// texts the two agree on equality).
int lstrcmpW(LPCWSTR first, LPCWSTR second);

// wsprintfW: at most 1024 units including the NUL are written, as on Windows.
int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);

// The formatter behind CString::Format and wsprintfW, for the conversions the launcher's texts
// use: %d, %x, %s (wide) and %%, with a width and the flag 0. Any other is kept as written.
std::wstring FormatText(LPCWSTR format, va_list arguments);

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
