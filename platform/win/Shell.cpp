#include "platform/win/Shell.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"
#include "platform/win/WebScheme.h"

namespace {

constexpr int kSucceeded = 42;

HINSTANCE ShellResult(int value)
{
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(value));
}

bool EndsWithExe(const std::wstring& path)
{
    return path.size() >= 4 && wcscasecmp(path.c_str() + path.size() - 4, L".exe") == 0;
}

HINSTANCE OpenWithDefaultApplication(const std::string& uri)
{
    GError* error = nullptr;
    bool opened = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    g_clear_error(&error);
    return ShellResult(opened ? kSucceeded : SE_ERR_NOASSOC);
}

// Runs argv[0] as the kernel executes it: a file that is no program to the kernel (a text without
// "#!") is refused with ENOEXEC; it is never handed to a shell, which GLib's spawning would do.
// The program starts with the default signal handling and no descriptor beyond the standard
// three. Answers kSucceeded or a failure of ShellExecuteW.
int Spawn(char* const argv[], const std::string& folder)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    switch (error) {
    case 0:
        // The main loop reaps the program once it has ended.
        g_child_watch_add(child, [](GPid, gint, gpointer) {}, nullptr);
        return kSucceeded;
    case ENOENT:
    case ENOTDIR:
        return SE_ERR_FNF;
    case ENOEXEC:
        return ERROR_BAD_FORMAT;
    default:
        return SE_ERR_ACCESSDENIED;
    }
}

// Whether the open file starts as a program of the kernel's own: an ELF image or a "#!" script.
bool StartsAsProgram(int descriptor)
{
    char start[4] = {};
    const ssize_t length = pread(descriptor, start, sizeof start, 0);
    return (length >= 2 && start[0] == '#' && start[1] == '!') ||
           (length == 4 && std::memcmp(start, "\177ELF", 4) == 0);
}

// Whether the path lies inside the folder (both resolved).
bool Inside(const std::string& path, std::string folder)
{
    if (folder.empty())
        return false;
    if (folder.back() != '/')
        folder += '/';
    return path.starts_with(folder);
}

// Whether the open file lies where a program may be given its run bit: inside the current folder
// or the running program's own, where its new version is stored. Judged by the file's resolved
// path: a link there to a file elsewhere is outside.
bool MayGetRunBit(int descriptor)
{
    std::error_code error;
    const std::string file = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor), error);
    if (error)
        return false;
    const std::string current = std::filesystem::current_path(error);
    if (!error && Inside(file, current))
        return true;
    return Inside(file, std::filesystem::path(WideToUtf8(GetModuleFilePath())).parent_path());
}

// A downloaded program may come without its run bit: it is added, for whoever may read the file,
// where MayGetRunBit allows. A file that does not start as a program is no program:
// ERROR_BAD_FORMAT, its mode untouched. Answers 0 otherwise; the spawn then tells the rest.
int GiveRunBit(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return 0;
    int result = 0;
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        if (!StartsAsProgram(descriptor)) {
            result = ERROR_BAD_FORMAT;
        } else if (!(status.st_mode & S_IXUSR) && MayGetRunBit(descriptor)) {
            const mode_t runBits = S_IXUSR | ((status.st_mode & S_IRGRP) ? S_IXGRP : 0) |
                                   ((status.st_mode & S_IROTH) ? S_IXOTH : 0);
            fchmod(descriptor, (status.st_mode & 07777) | runBits);
        }
    }
    ::close(descriptor);
    return result;
}

HINSTANCE RunProgram(const std::string& path, LPCWSTR parameters, LPCWSTR directory)
{
    if (access(path.c_str(), X_OK) != 0) {
        if (const int refused = GiveRunBit(path))
            return ShellResult(refused);
    }

    std::vector<std::string> arguments = {path};
    for (const std::wstring& argument : SplitCommandLineArguments(parameters ? parameters : L""))
        arguments.push_back(WideToUtf8(argument));
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string folder = directory && *directory ? NativePath(directory) : std::string();
    return ShellResult(Spawn(argv.data(), folder));
}

}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int)
{
    if (verb && wcscasecmp(verb, L"open") != 0)
        return ShellResult(SE_ERR_NOASSOC);
    if (!file || !*file)
        return ShellResult(SE_ERR_FNF);
    std::wstring target = file;
    if (WebSchemeOf(target) != WebScheme::None)
        return OpenWithDefaultApplication(WideToUtf8(target));

    std::string path = NativePath(file);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error || !std::filesystem::is_regular_file(absolute, error))
        return ShellResult(SE_ERR_FNF);
    if (EndsWithExe(target))
        return RunProgram(absolute.string(), parameters, directory);
    char* uri = g_filename_to_uri(absolute.c_str(), nullptr, nullptr);
    std::string fileUri = uri ? uri : "";
    g_free(uri);
    return fileUri.empty() ? ShellResult(SE_ERR_FNF) : OpenWithDefaultApplication(fileUri);
}

std::vector<std::wstring> SplitCommandLineArguments(std::wstring_view text)
{
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool inArgument = false;
    int quotes = 0;  // 1 inside a quoted part
    std::size_t backslashes = 0;
    std::size_t i = 0;
    auto isBlank = [&](std::size_t at) { return at < text.size() && (text[at] == L' ' || text[at] == L'\t'); };
    while (isBlank(i))
        ++i;
    while (i < text.size()) {
        wchar_t c = text[i];
        if ((c == L' ' || c == L'\t') && quotes == 0) {
            arguments.push_back(current);
            current.clear();
            inArgument = false;
            backslashes = 0;
            while (isBlank(i))
                ++i;
            continue;
        }
        inArgument = true;
        if (c == L'\\') {
            current.push_back(c);
            ++backslashes;
            ++i;
            continue;
        }
        if (c != L'"') {
            current.push_back(c);
            backslashes = 0;
            ++i;
            continue;
        }
        // 2n backslashes and a quote: n backslashes, and the quote opens or closes a quoted part.
        // 2n + 1 backslashes and a quote: n backslashes and a literal quote.
        if (backslashes % 2 == 0) {
            current.resize(current.size() - backslashes / 2);
            ++quotes;
        } else {
            current.resize(current.size() - backslashes / 2 - 1);
            current.push_back(L'"');
        }
        backslashes = 0;
        ++i;
        // Quotes that follow: every third one is a literal quote, which also ends the quoted part.
        while (i < text.size() && text[i] == L'"') {
            if (++quotes == 3) {
                current.push_back(L'"');
                quotes = 0;
            }
            ++i;
        }
        if (quotes == 2)
            quotes = 0;
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}
