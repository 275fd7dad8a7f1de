#include "platform/win/Shell.h"

#include <gio/gio.h>
#include <sys/stat.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/win/FileSystem.h"
#include "platform/win/Text.h"

namespace {

constexpr int kSucceeded = 42;

HINSTANCE ShellResult(int value)
{
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(value));
}

std::string CaseFolded(const std::string& utf8)
{
    char* folded = g_utf8_casefold(utf8.c_str(), static_cast<gssize>(utf8.size()));
    std::string text = folded;
    g_free(folded);
    return text;
}

struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// An xcb reply, freed with free().
template <class Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

template <class Reply>
XcbReply<Reply> Owned(Reply* reply)
{
    return XcbReply<Reply>(reply, &std::free);
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name)
{
    auto reply = Owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

XcbReply<xcb_get_property_reply_t> GetProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                               xcb_atom_t type)
{
    // An error (the window went away meanwhile) comes back as a null reply.
    return Owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1u << 20), nullptr));
}

class TitleReader {
public:
    explicit TitleReader(xcb_connection_t* connection)
        : m_connection(connection),
          m_netWmName(InternAtom(connection, "_NET_WM_NAME")),
          m_utf8String(InternAtom(connection, "UTF8_STRING"))
    {
    }

    // The title as UTF-8, or nothing when the window has none.
    std::optional<std::string> Title(xcb_window_t window) const
    {
        if (m_netWmName != XCB_ATOM_NONE) {
            auto reply = GetProperty(m_connection, window, m_netWmName, m_utf8String);
            if (reply && reply->type == m_utf8String && reply->format == 8)
                return Text(reply.get());
        }
        auto reply = GetProperty(m_connection, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY);
        if (!reply || reply->format != 8 || reply->type == XCB_ATOM_NONE)
            return std::nullopt;
        std::string text = Text(reply.get());
        if (reply->type != XCB_ATOM_STRING)
            return text;
        // STRING is Latin-1.
        char* utf8 = g_convert(text.data(), static_cast<gssize>(text.size()), "UTF-8", "ISO-8859-1", nullptr, nullptr,
                               nullptr);
        std::string converted = utf8 ? utf8 : "";
        g_free(utf8);
        return converted;
    }

private:
    static std::string Text(xcb_get_property_reply_t* reply)
    {
        return std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                           static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    }

    xcb_connection_t* m_connection;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_utf8String;
};

std::vector<xcb_window_t> TopLevelWindows(xcb_connection_t* connection, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    xcb_atom_t clientList = InternAtom(connection, "_NET_CLIENT_LIST");
    if (clientList != XCB_ATOM_NONE) {
        auto reply = GetProperty(connection, root, clientList, XCB_ATOM_WINDOW);
        if (reply && reply->format == 32) {
            auto* ids = static_cast<xcb_window_t*>(xcb_get_property_value(reply.get()));
            windows.assign(ids, ids + xcb_get_property_value_length(reply.get()) / 4);
        }
    }
    auto tree = Owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (tree) {
        xcb_window_t* children = xcb_query_tree_children(tree.get());
        windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}

bool EndsWithExe(const std::wstring& path)
{
    return path.size() >= 4 && wcscasecmp(path.c_str() + path.size() - 4, L".exe") == 0;
}

bool StartsWithWebScheme(const std::wstring& file)
{
    return wcsncasecmp(file.c_str(), L"http://", 7) == 0 || wcsncasecmp(file.c_str(), L"https://", 8) == 0;
}

HINSTANCE OpenWithDefaultApplication(const std::string& uri)
{
    GError* error = nullptr;
    bool opened = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    g_clear_error(&error);
    return ShellResult(opened ? kSucceeded : SE_ERR_NOASSOC);
}

HINSTANCE RunProgram(const std::string& path, LPCWSTR parameters, LPCWSTR directory)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return ShellResult(SE_ERR_FNF);
    // A downloaded program may come without its run bit: it is added for whoever may read it.
    mode_t runBits = S_IXUSR | ((status.st_mode & S_IRGRP) ? S_IXGRP : 0) | ((status.st_mode & S_IROTH) ? S_IXOTH : 0);
    if (!(status.st_mode & S_IXUSR) && chmod(path.c_str(), status.st_mode | runBits) != 0)
        return ShellResult(SE_ERR_ACCESSDENIED);

    std::vector<std::string> arguments = {path};
    for (const std::wstring& argument : SplitCommandLineArguments(parameters ? parameters : L""))
        arguments.push_back(WideToUtf8(argument));
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string folder = directory && *directory ? NativePath(directory) : std::string();

    GError* error = nullptr;
    bool started = g_spawn_async(folder.empty() ? nullptr : folder.c_str(), argv.data(), nullptr, G_SPAWN_DEFAULT,
                                 nullptr, nullptr, nullptr, &error);
    int result = kSucceeded;
    if (!started) {
        result = error && error->code == G_SPAWN_ERROR_NOENT ? SE_ERR_FNF : SE_ERR_ACCESSDENIED;
    }
    g_clear_error(&error);
    return ShellResult(result);
}

}  // namespace

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    if (className || !windowName)
        return nullptr;
    int screenNumber = 0;
    XcbConnection connection(xcb_connect(nullptr, &screenNumber));
    if (xcb_connection_has_error(connection.get()))
        return nullptr;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return nullptr;

    std::string wanted = CaseFolded(WideToUtf8(windowName));
    TitleReader titles(connection.get());
    for (xcb_window_t window : TopLevelWindows(connection.get(), screens.data->root)) {
        std::optional<std::string> title = titles.Title(window);
        if (title && CaseFolded(*title) == wanted)
            return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    }
    return nullptr;
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int)
{
    if (verb && wcscasecmp(verb, L"open") != 0)
        return ShellResult(SE_ERR_NOASSOC);
    if (!file || !*file)
        return ShellResult(SE_ERR_FNF);
    std::wstring target = file;
    if (StartsWithWebScheme(target))
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
