#include "tests/platform/win/DesktopRecorder.h"

#include <glib.h>

#include <fstream>

namespace {

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::filesystem::path NewFolder()
{
    char* folder = g_dir_make_tmp("zorv-desktop-XXXXXX", nullptr);
    std::filesystem::path path = folder;
    g_free(folder);
    return path;
}

}  // namespace

DesktopRecorder::DesktopRecorder() : DesktopRecorder(NewFolder())
{
    Install(m_folder / "data", m_folder / "config");
    g_setenv("XDG_DATA_HOME", (m_folder / "data").c_str(), TRUE);
    g_setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), TRUE);
}

DesktopRecorder::DesktopRecorder(const std::filesystem::path& dataHome, const std::filesystem::path& configHome)
    : DesktopRecorder(NewFolder())
{
    Install(dataHome, configHome);
}

DesktopRecorder::DesktopRecorder(std::filesystem::path folder)
    : m_folder(std::move(folder)), m_log(m_folder / "starts.log")
{
}

void DesktopRecorder::Install(const std::filesystem::path& dataHome, const std::filesystem::path& configHome) const
{
    std::filesystem::path recorder = m_folder / "recorder.sh";
    Write(recorder, "#!/bin/sh\nprintf '%s\\n' \"$#:$1\" >> '" + m_log.string() + "'\n");
    std::filesystem::permissions(recorder, std::filesystem::perms::owner_all);
    Write(dataHome / "applications" / "zorv-recorder.desktop",
          "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder.string() +
              " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;text/plain;\n");
    Write(configHome / "mimeapps.list",
          "[Default Applications]\nx-scheme-handler/http=zorv-recorder.desktop\n"
          "x-scheme-handler/https=zorv-recorder.desktop\ntext/plain=zorv-recorder.desktop\n");
}

DesktopRecorder::~DesktopRecorder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::vector<std::string> DesktopRecorder::Starts() const
{
    std::vector<std::string> starts;
    std::ifstream log(m_log);
    for (std::string line; std::getline(log, line);)
        starts.push_back(line);
    return starts;
}

void DesktopRecorder::Clear() const
{
    std::error_code ignored;
    std::filesystem::remove(m_log, ignored);
}
