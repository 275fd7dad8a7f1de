// The names of the launcher's process messages, from a page's web process to the browser
// process, declared once for both sides. Each carries one string: the script function's argument.
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr std::string_view kStartGameMessage = "StartGame";
inline constexpr std::string_view kOpenWebMessage = "OpenWeb";

// The longest argument, in UTF-16 units: a Windows command line holds at most 32767 with its
// terminating NUL, so a longer parameter could never start the game.
inline constexpr std::size_t kMaxMessageArgumentLength = 32766;
