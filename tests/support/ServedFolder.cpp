#include "tests/support/ServedFolder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

int FromHex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && FromHex(text[i + 1]) >= 0 && FromHex(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(FromHex(text[i + 1]) * 16 + FromHex(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

std::string ContentType(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".html" || extension == ".htm")
        return "text/html; charset=utf-8";
    if (extension == ".js")
        return "text/javascript; charset=utf-8";
    if (extension == ".css")
        return "text/css; charset=utf-8";
    if (extension == ".txt")
        return "text/plain; charset=utf-8";
    if (extension == ".png")
        return "image/png";
    if (extension == ".jpg" || extension == ".jpeg")
        return "image/jpeg";
    if (extension == ".gif")
        return "image/gif";
    if (extension == ".svg")
        return "image/svg+xml";
    if (extension == ".json")
        return "application/json";
    return "application/octet-stream";
}

}  // namespace

ServedFolder::ServedFolder(std::string urlPrefix, std::filesystem::path folder)
    : m_prefix(std::move(urlPrefix)), m_folder(std::move(folder))
{
}

Reply ServedFolder::ReplyFor(const std::string& requestPath) const
{
    Reply notFound = Reply::Body("not found", 404).Header("Content-Type", "text/plain");
    std::filesystem::path relative(PercentDecoded(std::string_view(requestPath).substr(m_prefix.size())));
    for (const auto& part : relative) {
        if (part == ".." || part == ".")
            return notFound;
    }
    std::filesystem::path file = m_folder / relative.relative_path();
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return notFound;
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream content;
    content << stream.rdbuf();
    return Reply::Body(content.str()).Header("Content-Type", ContentType(file));
}
