// The desktop's default application for web addresses and plain files, replaced by a recorder
// that writes down each address it is started with. Make it before anything asks GIO for
// applications (a gtest environment), since GIO reads the desktop's folders once.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class DesktopRecorder {
public:
    DesktopRecorder();
    DesktopRecorder(const DesktopRecorder&) = delete;
    DesktopRecorder& operator=(const DesktopRecorder&) = delete;
    ~DesktopRecorder();

    // Every start so far, in order: the number of arguments, ":", the first argument.
    std::vector<std::string> Starts() const;
    void Clear() const;

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_log;
};
