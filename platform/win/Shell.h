// The shell function the launcher calls: opening an address or a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

constexpr int SW_SHOWNORMAL = 1;

// Results of ShellExecuteW at or below 32 are failures.
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_ACCESSDENIED = 5;
// The file is no program the system can run.
constexpr int ERROR_BAD_FORMAT = 11;
constexpr int SE_ERR_NOASSOC = 31;

// The verb "open" (or none). An http or https address goes to the desktop's default browser.
// A file (a launcher path, "\" for "/", relative to the current directory) ending in ".exe" is a
// program here: it is run with parameters split by the Windows command-line rules, no shell, in
// directory or else the current directory. A program without its run bit gets it first only when
// it lies inside the current directory or the running program's own folder (by its resolved
// path). A file that the kernel does not execute (a text without "#!", an empty file) is not
// started and keeps its mode: ERROR_BAD_FORMAT. Any other file goes to the desktop's default
// application for it. The owner and the show command are not used. Above 32 for success, else
// ERROR_BAD_FORMAT or one of the SE_ERR_ values.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        int showCommand);

// The arguments in a program's parameter text, by the rules of CommandLineToArgvW for the
// arguments after the program's name.
std::vector<std::wstring> SplitCommandLineArguments(std::wstring_view parameters);
