#include "platform/inet/RequestAddress.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win/Text.h"
#include "platform/win/WebScheme.h"

namespace {

enum class Part { Path, Query };

bool MustEncode(unsigned char c, Part part)
{
    if (c <= 0x20 || c >= 0x7F)
        return true;
    switch (c) {
    case '"':
    case '<':
    case '>':
        return true;
    case '`':
    case '{':
    case '}':
        return part == Part::Path;
    case '\'':
        return part == Part::Query;
    default:
        return false;
    }
}

std::string Encoded(std::string_view text, Part part)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (MustEncode(c, part)) {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

std::string Lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// "." and "%2e" name the same segment, as in a browser.
bool IsDot(std::string_view segment)
{
    return segment == "." || Lowered(segment) == "%2e";
}

bool IsDotDot(std::string_view segment)
{
    std::string lowered = Lowered(segment);
    return lowered == ".." || lowered == ".%2e" || lowered == "%2e." || lowered == "%2e%2e";
}

// Backslashes become "/", then dot segments go; ".." at the root stays at the root.
std::string ResolvedPath(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    std::vector<std::string> segments;
    size_t start = 1;  // the path starts with "/"
    for (;;) {
        size_t end = path.find('/', start);
        std::string segment = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        bool last = end == std::string::npos;
        if (IsDotDot(segment)) {
            if (!segments.empty())
                segments.pop_back();
            if (last)
                segments.emplace_back();
        } else if (IsDot(segment)) {
            if (last)
                segments.emplace_back();
        } else {
            segments.push_back(std::move(segment));
        }
        if (last)
            break;
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments)
        resolved += "/" + segment;
    return resolved.empty() ? "/" : resolved;
}

}  // namespace

std::optional<RequestAddress> RequestAddress::FromUrl(std::wstring_view url)
{
    const WebScheme scheme = WebSchemeOf(url);
    if (scheme == WebScheme::None)
        return std::nullopt;
    std::string text = WideToUtf8(url);
    const std::string_view schemeText = scheme == WebScheme::Https ? "https" : "http";
    size_t hostStart = schemeText.size() + 3;
    size_t hostEnd = text.find_first_of("/\\?#", hostStart);
    if (hostEnd == std::string::npos)
        hostEnd = text.size();
    if (hostEnd == hostStart)
        return std::nullopt;
    std::string authority = text.substr(hostStart, hostEnd - hostStart);

    std::string rest = text.substr(hostEnd);
    rest = rest.substr(0, rest.find('#'));
    size_t queryStart = rest.find('?');
    std::string path = rest.substr(0, queryStart);
    if (path.empty() || (path.front() != '/' && path.front() != '\\'))
        path.insert(path.begin(), '/');

    RequestAddress address;
    address.object = Encoded(ResolvedPath(path), Part::Path);
    if (queryStart != std::string::npos)
        address.object += "?" + Encoded(std::string_view(rest).substr(queryStart + 1), Part::Query);
    address.url = std::string(schemeText) + "://" + authority + address.object;
    return address;
}
