// The form in which an address goes out, as a browser sends it: in the path a backslash is "/",
// dot segments are resolved and characters a URL cannot hold are percent-encoded as UTF-8; the
// query only gets its disallowed characters encoded; a fragment is not sent.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct RequestAddress {
    std::string url;     // the whole address to request
    std::string object;  // path and query behind the host

    // Nothing for an address without "http://host" or "https://host".
    static std::optional<RequestAddress> FromUrl(std::wstring_view url);
};
