// Whether an address is a web address: the one test of the scheme that the internet session, its
// request addresses, the transfer, the shell and the page's OpenWeb make.
#pragma once

#include <string_view>

enum class WebScheme { None, Http, Https };

// Http or Https for an address that starts with "http://" or "https://", in any case; None for
// any other scheme and for an address without one.
WebScheme WebSchemeOf(std::wstring_view address);
WebScheme WebSchemeOf(std::string_view address);
