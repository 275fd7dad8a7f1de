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

#include "platform/win/CairoPtr.h"
#include "platform/win/GObjectPtr.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Text.h"
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

    // The window's rectangle on the screen, as the X server has it.
    GdkRectangle OnScreen(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, Screen().root, 0, 0), nullptr);
        GdkRectangle rectangle = {origin ? origin->dst_x : -1, origin ? origin->dst_y : -1,
                                  geometry ? geometry->width : 0, geometry ? geometry->height : 0};
        free(origin);
        free(geometry);
        return rectangle;
    }

    xcb_screen_t& Screen() { return *xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data; }

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

bool Inside(const GdkRectangle& inner, const GdkRectangle& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::string Text(const GdkRectangle& r)
{
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
           std::to_string(r.y);
}

// How many pixels the widget draws that are not fully transparent.
int DrawnPixels(GtkWidget* widget)
{
    int width = gtk_widget_get_allocated_width(widget), height = gtk_widget_get_allocated_height(widget);
    CairoPtr<cairo_surface_t> surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    gtk_widget_draw(widget, CairoPtr<cairo_t>(cairo_create(surface.get())).get());
    cairo_surface_flush(surface.get());
    int drawn = 0;
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            drawn += (row[x] >> 24) != 0;
    }
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
            GObjectPtr<GtkIconInfo> info(
                gtk_icon_theme_lookup_icon(gtk_icon_theme_get_default(), row.icon, 48, GtkIconLookupFlags(0)));
            ASSERT_TRUE(info);
            EXPECT_NE(std::string(gtk_icon_info_get_filename(info.get())).find(std::string("/") + row.icon + "."),
                      std::string::npos)
                << gtk_icon_info_get_filename(info.get());
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

// The texts of the downloads' boxes at their longest: a long name, a deep path, a long address.
// Each box fits the screen, its OK on it and clicked there, and its whole text can be read.
TEST_F(MessageBoxTest, ALongTextWrapsInsideFiveEighthsOfTheScreenAndScrollsWhenTaller)
{
    std::wstring deepPath = L"C:\\Zorv";
    for (int part = 0; part < 6000; ++part)
        deepPath += L"\\p" + std::to_wstring(part % 10);
    struct Case {
        const char* name;
        std::wstring text;
        bool wraps;
        bool scrolls;
    } cases[] = {
        {"a short text", L"Http Error: 404, /zorv/patch_v3/LauncherUpdate.txt", false, false},
        {"a 250-character name", L"Http Error: 404, /zorv/patch/12/Zorv_Data/" + std::wstring(250, L'n') + L".dat",
         true, false},
        {"a 4000-character name", L"OpenFile Error: Zorv_Data\\" + std::wstring(4000, L'n'), true, true},
        {"a path of 6000 parts", L"OpenFile Error: " + deepPath, true, true},
    };
    const GdkRectangle screen = {0, 0, Screen().width_in_pixels, Screen().height_in_pixels};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        std::atomic<int> answer = 0;
        std::thread asker(
            [&] { answer = MessageBoxW(nullptr, row.text.c_str(), L"标题 Caption", MB_OK | MB_ICONERROR); });
        const auto asked = std::chrono::steady_clock::now();
        GtkWindow* box = nullptr;
        if (!RunLoopUntil([&] { return (box = MappedBox(kCaption)) != nullptr; })) {
            asker.detach();
            FAIL() << "no box";
        }
        RunLoopFor(std::chrono::milliseconds(200));
        gdk_display_sync(gdk_display_get_default());
        const GdkRectangle window = OnScreen(GDK_WINDOW_XID(gtk_widget_get_window(GTK_WIDGET(box))));
        EXPECT_LE(window.width, screen.width * 5 / 8) << Text(window);
        EXPECT_TRUE(Inside(window, screen)) << Text(window);

        // The whole text, selectable, in lines no wider than the label; what does not fit scrolls.
        std::vector<GtkWidget*> labels;
        Collect(GTK_WIDGET(box), GTK_TYPE_LABEL, labels);
        GtkLabel* label = nullptr;
        for (GtkWidget* each : labels) {
            if (gtk_label_get_selectable(GTK_LABEL(each)))
                label = GTK_LABEL(each);
        }
        ASSERT_TRUE(label);
        EXPECT_EQ(std::string(gtk_label_get_text(label)), WideToUtf8(row.text));
        PangoLayout* layout = gtk_label_get_layout(label);
        PangoRectangle extent;
        pango_layout_get_pixel_extents(layout, nullptr, &extent);
        EXPECT_LE(extent.x + extent.width, gtk_widget_get_allocated_width(GTK_WIDGET(label)));
        EXPECT_EQ(pango_layout_get_line_count(layout) > 1, row.wraps) << pango_layout_get_line_count(layout);
        // Each glyph shown is a character of the text: no hyphen where a name breaks.
        int glyphs = 0;
        for (GSList* line = pango_layout_get_lines_readonly(layout); line; line = line->next) {
            for (GSList* run = static_cast<PangoLayoutLine*>(line->data)->runs; run; run = run->next)
                glyphs += static_cast<PangoGlyphItem*>(run->data)->glyphs->num_glyphs;
        }
        EXPECT_EQ(glyphs, g_utf8_strlen(gtk_label_get_text(label), -1));
        std::vector<GtkWidget*> scrolled;
        Collect(GTK_WIDGET(box), GTK_TYPE_SCROLLED_WINDOW, scrolled);
        ASSERT_EQ(scrolled.size(), 1u);
        GtkAdjustment* lines = gtk_scrolled_window_get_vadjustment(GTK_SCROLLED_WINDOW(scrolled[0]));
        EXPECT_GE(gtk_adjustment_get_upper(lines), extent.y + extent.height);
        EXPECT_EQ(gtk_adjustment_get_upper(lines) > gtk_adjustment_get_page_size(lines), row.scrolls);
        if (!row.wraps) {
            // As the box always was: the text on one line, the label as wide as it.
            int natural = 0;
            gtk_widget_get_preferred_width(GTK_WIDGET(label), nullptr, &natural);
            EXPECT_EQ(gtk_widget_get_allocated_width(GTK_WIDGET(label)), natural);
        }

        std::vector<GtkWidget*> buttons;
        Collect(GTK_WIDGET(box), GTK_TYPE_BUTTON, buttons);
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(gtk_window_get_focus(box), buttons[0]);
        int x = 0, y = 0;
        ASSERT_TRUE(gtk_widget_translate_coordinates(buttons[0], GTK_WIDGET(box), 0, 0, &x, &y));
        const GdkRectangle ok = {window.x + x, window.y + y, gtk_widget_get_allocated_width(buttons[0]),
                                 gtk_widget_get_allocated_height(buttons[0])};
        EXPECT_TRUE(Inside(ok, window)) << Text(ok);
        EXPECT_TRUE(Inside(ok, screen)) << Text(ok);

        // Shown and laid out within seconds; a long word laid out one character a line takes minutes.
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(10));

        // The player clicks OK where it shows. The display is shared with other tests, whose
        // windows or held buttons may take a click: the box is raised and clicked again.
        std::string click = "xdotool mousemove " + std::to_string(ok.x + ok.width / 2) + " " +
                            std::to_string(ok.y + ok.height / 2) + " click 1";
        for (int attempt = 0; attempt < 10 && answer == 0 && MappedBox(kCaption); ++attempt) {
            gdk_window_raise(gtk_widget_get_window(GTK_WIDGET(box)));
            gdk_display_sync(gdk_display_get_default());
            EXPECT_EQ(std::system(click.c_str()), 0);
            RunLoopUntil([&] { return answer != 0; }, std::chrono::seconds(3));
        }
        if (answer == 0 && !RunLoopUntil([&] { return answer != 0; })) {
            asker.detach();
            FAIL() << "the box was not answered";
        }
        asker.join();
        EXPECT_EQ(answer, IDOK);
        EXPECT_TRUE(RunLoopUntil([] { return MappedBox(kCaption) == nullptr; }));
    }
}

}  // namespace
