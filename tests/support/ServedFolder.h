// A folder whose files a TestServer serves below a path prefix.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/Reply.h"

class ServedFolder {
public:
    ServedFolder(std::string urlPrefix, std::filesystem::path folder);

    bool Holds(const std::string& requestPath) const { return requestPath.rfind(m_prefix, 0) == 0; }
    // The file's bytes with a Content-Type from its extension; 404 for a missing file or a path
    // that would leave the folder (a ".." segment, also percent-encoded).
    Reply ReplyFor(const std::string& requestPath) const;

private:
    std::string m_prefix;
    std::filesystem::path m_folder;
};
