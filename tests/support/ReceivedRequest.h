// A request as a TestServer received it, for a test's assertions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ReceivedRequest {
    std::string method;
    std::string target;   // as sent: path and query, percent-encoding kept
    std::string path;     // target up to the '?'
    std::string version;  // "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
    std::string body;

    // The first header of that name (case-insensitive).
    std::optional<std::string> Header(std::string_view name) const;

    // From the request line and header lines (CR LF ended); nothing when they are malformed.
    static std::optional<ReceivedRequest> FromHead(const std::string& head);
};
