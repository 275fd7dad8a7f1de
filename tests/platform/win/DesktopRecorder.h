// The desktop's default application for web addresses and plain files, replaced by a recorder
// that writes down each address it is started with. Make it before anything asks GIO for
// applications (a gtest environment), since GIO reads the desktop's folders once.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class DesktopRecorder {
public:
    // For this process: its desktop folders (XDG_DATA_HOME, XDG_CONFIG_HOME) become the recorder's.
    DesktopRecorder();
    // For a program started with these desktop folders; this process's own are left alone.
    DesktopRecorder(const std::filesystem::path& dataHome, const std::filesystem::path& configHome);
    DesktopRecorder(const DesktopRecorder&) = delete;
    DesktopRecorder& operator=(const DesktopRecorder&) = delete;
    ~DesktopRecorder();

    // Every start so far, in order: the number of arguments, ":", the first argument.
    std::vector<std::string> Starts() const;
    void Clear() const;

private:
    // The recorder and its log go into folder.
    explicit DesktopRecorder(std::filesystem::path folder);
    // The desktop's entry for the recorder and its choice as the default application.
    void Install(const std::filesystem::path& dataHome, const std::filesystem::path& configHome) const;

    std::filesystem::path m_folder;
    std::filesystem::path m_log;
};
