// The GTK box as a player sees it, under Xvfb: shown from a worker thread as the downloads show
// theirs, read back from the X server and from what it draws, and answered with a key or its
// OK button.
#include <gtest/gtest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/MessageBox.h"
#include "tests/support/MainLoop.h"

namespace {

constexpr const char* kCaption = "标题 Caption";

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        m_connection = xcb_connect(nullptr, nullptr);
        ASSERT_FALSE(xcb_connection_has_error(m_connection));
    }

    void TearDown() override { xcb_disconnect(m_connection); }

    xcb_atom_t Atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    // The values of a 32-bit property of the window (atoms, window ids); none when it is not set.
    std::vector<uint32_t> Property(xcb_window_t window, const char* name)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        std::vector<uint32_t> values;
        if (reply && reply->format == 32) {
            auto* data = static_cast<uint32_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        return values;
    }

    bool Holds(const std::vector<uint32_t>& atoms, const char* name)
    {
        xcb_atom_t atom = Atom(name);
        for (uint32_t value : atoms) {
            if (value == atom)
                return true;
        }
        return false;
    }

    xcb_connection_t* m_connection = nullptr;
};

// The mapped top-level window titled title, or null.
GtkWindow* MappedBox(const char* title)
{
    GtkWindow* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item; item = item->next) {
        GtkWindow* window = GTK_WINDOW(item->data);
        const char* text = gtk_window_get_title(window);
        if (text && std::strcmp(text, title) == 0 && gtk_widget_get_mapped(GTK_WIDGET(window)))
            found = window;
    }
    g_list_free(windows);
    return found;
}

// Every widget of type in the tree below widget, inner parts of composite widgets included.
void Collect(GtkWidget* widget, GType type, std::vector<GtkWidget*>& found)
{
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type))
        found.push_back(widget);
    if (GTK_IS_CONTAINER(widget)) {
        struct Search {
            GType type;
            std::vector<GtkWidget*>* found;
        } search{type, &found};
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer data) {
                auto* search = static_cast<Search*>(data);
                Collect(child, search->type, *search->found);
            },
            &search);
    }
}

// How many pixels the widget draws that are not fully transparent.
int DrawnPixels(GtkWidget* widget)
{
    int width = gtk_widget_get_allocated_width(widget), height = gtk_widget_get_allocated_height(widget);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    gtk_widget_draw(widget, cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    int drawn = 0;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            drawn += (row[x] >> 24) != 0;
    }
    cairo_surface_destroy(surface);
    return drawn;
}

TEST_F(MessageBoxTest, TheBoxShowsItsTypesIconHasATaskbarEntryStaysAmongTheOtherWindowsAndAnswersOk)
{
    struct Case {
        UINT type;
        const char* icon;  // null: no icon
        const char* key;   // a key that answers the box; null: its button is pressed
    } cases[] = {
        {MB_ICONINFORMATION, "dialog-information", "Escape"},
        {MB_OK | MB_ICONERROR, "dialog-error", "Return"},
        {MB_OK, nullptr, nullptr},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.type);
        std::atomic<int> answer = 0;
        std::thread asker([&] { answer = MessageBoxW(nullptr, L"文本 text", L"标题 Caption", row.type); });
        GtkWindow* box = nullptr;
        if (!RunLoopUntil([&] { return (box = MappedBox(kCaption)) != nullptr; })) {
            asker.detach();  // waits for a box that never came
            FAIL() << "no box";
        }

        std::vector<GtkWidget*> images;
        Collect(GTK_WIDGET(box), GTK_TYPE_IMAGE, images);
        if (row.icon) {
            ASSERT_EQ(images.size(), 1u);
            const char* name = nullptr;
            gtk_image_get_icon_name(GTK_IMAGE(images[0]), &name, nullptr);
            EXPECT_STREQ(name, row.icon);
            // The desktop's theme has the full-colour icon, and it is drawn.
            GtkIconInfo* info = gtk_icon_theme_lookup_icon(gtk_icon_theme_get_default(), row.icon, 48, GtkIconLookupFlags(0));
            ASSERT_TRUE(info);
            EXPECT_NE(std::string(gtk_icon_info_get_filename(info)).find(std::string("/") + row.icon + "."),
                      std::string::npos)
                << gtk_icon_info_get_filename(info);
            g_object_unref(info);
            EXPECT_GT(DrawnPixels(images[0]), 500);
        } else {
            EXPECT_TRUE(images.empty());
        }

        // A window of its own: in the taskbar, not owned, not kept above every program.
        gdk_display_sync(gdk_display_get_default());
        xcb_window_t window = GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(box)));
        std::vector<uint32_t> state = Property(window, "_NET_WM_STATE");
        EXPECT_FALSE(Holds(state, "_NET_WM_STATE_SKIP_TASKBAR"));
        EXPECT_FALSE(Holds(state, "_NET_WM_STATE_SKIP_PAGER"));
        EXPECT_FALSE(Holds(state, "_NET_WM_STATE_ABOVE"));
        EXPECT_FALSE(Holds(state, "_NET_WM_STATE_MODAL"));
        EXPECT_EQ(Property(window, "_NET_WM_WINDOW_TYPE"),
                  std::vector<uint32_t>{Atom("_NET_WM_WINDOW_TYPE_NORMAL")});
        EXPECT_TRUE(Property(window, "WM_TRANSIENT_FOR").empty());

        std::vector<GtkWidget*> buttons;
        Collect(GTK_WIDGET(box), GTK_TYPE_BUTTON, buttons);
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(gtk_window_get_focus(box), buttons[0]);
        if (row.key) {
            std::string press = "xdotool windowfocus --sync " + std::to_string(window) + " key " + row.key;
            EXPECT_EQ(std::system(press.c_str()), 0);
        } else {
            gtk_button_clicked(GTK_BUTTON(buttons[0]));
        }
        if (!RunLoopUntil([&] { return answer != 0; })) {
            asker.detach();
            FAIL() << "the box was not answered";
        }
        asker.join();
        EXPECT_EQ(answer, IDOK);
        EXPECT_TRUE(RunLoopUntil([] { return MappedBox(kCaption) == nullptr; }));
    }
}

}  // namespace
