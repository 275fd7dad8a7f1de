// FindWindowW against real X windows under Xvfb: a GTK window of this process, and windows
// made here with the X protocol, one listed only by a window manager's _NET_CLIENT_LIST.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <xcb/xcb.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/FindWindow.h"

namespace {

class FindWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        m_connection = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_connection));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        // A window manager's own list is put back afterwards.
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 4096),
            nullptr);
        if (reply && reply->format == 32) {
            auto* ids = static_cast<xcb_window_t*>(xcb_get_property_value(reply));
            m_clientList.emplace(ids, ids + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }

    void TearDown() override
    {
        if (!m_connection)
            return;
        if (!xcb_connection_has_error(m_connection)) {
            if (m_clientList)
                SetClientList(*m_clientList);
            else
                xcb_delete_property(m_connection, m_root, Atom("_NET_CLIENT_LIST"));
            Sync();
        }
        xcb_disconnect(m_connection);
    }

    void SetClientList(const std::vector<xcb_window_t>& windows)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32,
                            static_cast<uint32_t>(windows.size()), windows.data());
    }

    xcb_atom_t Atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        xcb_atom_t atom = reply->atom;
        free(reply);
        return atom;
    }

    xcb_window_t CreateWindow(xcb_window_t parent)
    {
        xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }

    void SetText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const std::string& text)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<uint32_t>(text.size()), text.data());
    }

    // Makes every request so far take effect before FindWindowW looks on its own connection.
    void Sync() { free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::optional<std::vector<xcb_window_t>> m_clientList;
};

TEST_F(FindWindowTest, FindsAGtkWindowByItsTitleWithoutRegardToCase)
{
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Probe Window");
    gtk_widget_show(window);
    gdk_display_sync(gdk_display_get_default());

    EXPECT_TRUE(FindWindowW(nullptr, L"Probe Window"));
    EXPECT_TRUE(FindWindowW(nullptr, L"pROBE wINDOW"));
    EXPECT_FALSE(FindWindowW(nullptr, L"Probe"));
    EXPECT_FALSE(FindWindowW(nullptr, L"Probe Window "));
    EXPECT_FALSE(FindWindowW(L"ProbeClass", L"Probe Window"));

    gtk_widget_destroy(window);
    gdk_display_sync(gdk_display_get_default());
    EXPECT_FALSE(FindWindowW(nullptr, L"Probe Window"));
}

TEST_F(FindWindowTest, ReadsUtf8AndLatin1TitlesAndTheWindowManagersClientList)
{
    xcb_window_t frame = CreateWindow(m_root);
    xcb_window_t client = CreateWindow(frame);  // not a child of the root
    SetText(client, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), "游戏 Client");
    xcb_window_t latin = CreateWindow(m_root);
    SetText(latin, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Caf\xe9");
    Sync();
    EXPECT_FALSE(FindWindowW(nullptr, L"游戏 client"));

    SetClientList({client});
    Sync();
    EXPECT_EQ(FindWindowW(nullptr, L"游戏 CLIENT"), reinterpret_cast<HWND>(static_cast<std::uintptr_t>(client)));
    EXPECT_EQ(FindWindowW(nullptr, L"CAFÉ"), reinterpret_cast<HWND>(static_cast<std::uintptr_t>(latin)));

    xcb_destroy_window(m_connection, frame);
    xcb_destroy_window(m_connection, latin);
    Sync();
    // The client list still names the window that is gone: it is skipped.
    EXPECT_FALSE(FindWindowW(nullptr, L"游戏 Client"));
}

}  // namespace
