// The names of the launcher's process messages, from a page's web process to the browser
// process, declared once for both sides. Each carries one string: the script function's argument.
#pragma once

#include <string_view>

inline constexpr std::string_view kStartGameMessage = "StartGame";
inline constexpr std::string_view kOpenWebMessage = "OpenWeb";
