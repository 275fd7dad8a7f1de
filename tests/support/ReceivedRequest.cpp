#include "tests/support/ReceivedRequest.h"

#include <strings.h>

#include <sstream>

namespace {

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

std::optional<std::string> ReceivedRequest::Header(std::string_view name) const
{
    for (const auto& [headerName, value] : headers) {
        if (headerName.size() == name.size() && strncasecmp(headerName.data(), name.data(), name.size()) == 0)
            return value;
    }
    return std::nullopt;
}

std::optional<ReceivedRequest> ReceivedRequest::FromHead(const std::string& head)
{
    std::istringstream lines(head);
    std::string line;
    if (!std::getline(lines, line))
        return std::nullopt;
    ReceivedRequest request;
    std::istringstream requestLine(Trimmed(line));
    if (!(requestLine >> request.method >> request.target >> request.version) ||
        request.version.rfind("HTTP/1.", 0) != 0)
        return std::nullopt;
    request.path = request.target.substr(0, request.target.find('?'));
    while (std::getline(lines, line)) {
        std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            request.headers.emplace_back(line.substr(0, colon), Trimmed(std::string_view(line).substr(colon + 1)));
    }
    return request;
}
