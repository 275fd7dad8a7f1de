#include "platform/win/FindWindow.h"

#include <glib.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Text.h"

namespace {

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
