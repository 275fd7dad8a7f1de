#include "platform/win/MessageBox.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <mutex>

#include "platform/win/GObjectPtr.h"
#include "platform/win/Text.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowHandles.h"

namespace {

std::mutex g_presenterMutex;
MessageBoxPresenter g_presenter;

struct BoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    std::promise<int> answer;
};

// The desktop icon theme's names for the icons of the Windows box's types.
const char* IconNameOf(UINT type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return "dialog-error";
    case MB_ICONINFORMATION:
        return "dialog-information";
    default:
        return nullptr;
    }
}

// The monitor the box opens on: its owner's, else the one under the pointer, as GTK centres it.
GdkMonitor* MonitorOf(GtkWindow* parent)
{
    GdkDisplay* display = gdk_display_get_default();
    if (parent) {
        if (GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(parent)))
            return gdk_display_get_monitor_at_window(display, window);
    }
    int x = 0;
    int y = 0;
    if (GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display)))
        gdk_device_get_position(pointer, nullptr, &x, &y);
    if (GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, x, y))
        return monitor;
    return gdk_display_get_monitor(display, 0);
}

int NaturalWidth(GtkWidget* widget)
{
    int natural = 0;
    gtk_widget_get_preferred_width(widget, nullptr, &natural);
    return natural;
}

// The width of a character as GtkLabel counts its width in characters, in Pango units.
int CharacterWidth(GtkLabel* label)
{
    PangoContext* context = gtk_widget_get_pango_context(GTK_WIDGET(label));
    PangoFontMetrics* metrics = pango_context_get_metrics(context, pango_context_get_font_description(context),
                                                          pango_context_get_language(context));
    const int width = std::max(pango_font_metrics_get_approximate_char_width(metrics),
                               pango_font_metrics_get_approximate_digit_width(metrics));
    pango_font_metrics_unref(metrics);
    return std::max(width, 1);
}

// As the Windows box wraps its text: no wider than five eighths of the monitor, a long word broken
// where it must be; a text taller than half the monitor's work area scrolls. The box is measured
// with the label empty and the text on its own, and a wrapped label gets its width in characters
// as least and most: measured at no width, a long word would be laid out one character a line,
// which takes Pango a time that grows with the square of the word's length.
void SetFittingText(GtkWidget* box, GtkLabel* label, GtkScrolledWindow* text, GdkMonitor* monitor,
                    const std::string& body)
{
    if (monitor) {
        GdkRectangle geometry;
        gdk_monitor_get_geometry(monitor, &geometry);
        GdkRectangle workArea;
        gdk_monitor_get_workarea(monitor, &workArea);
        gtk_scrolled_window_set_max_content_height(text, std::max(workArea.height / 2, 1));
        GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(GTK_WIDGET(label), body.c_str()));
        int textWidth = 0;
        pango_layout_get_pixel_size(layout.get(), &textWidth, nullptr);
        const int width = geometry.width * 5 / 8 - NaturalWidth(box);
        if (textWidth > width) {
            const int characters = std::max(width * PANGO_SCALE / CharacterWidth(label), 1);
            gtk_label_set_width_chars(label, characters);
            gtk_label_set_max_width_chars(label, characters);
        }
    }
    gtk_label_set_text(label, body.c_str());
}

// As on Windows: the type's icon left of the text, one OK button that has the focus, Enter and
// Esc answer it.
GtkWidget* CreateBox(const BoxRequest& request)
{
    GtkWindow* parent = nullptr;
    if (GtkWidget* widget = GetWindowWidget(request.owner)) {
        GtkWidget* top = gtk_widget_get_toplevel(widget);
        if (GTK_IS_WINDOW(top))
            parent = GTK_WINDOW(top);
    }
    GtkWidget* box = gtk_dialog_new();
    GtkWindow* window = GTK_WINDOW(box);
    gtk_window_set_title(window, request.caption.c_str());
    gtk_window_set_resizable(window, FALSE);
    if (parent) {
        gtk_window_set_transient_for(window, parent);
        gtk_window_set_destroy_with_parent(window, TRUE);
        gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);
    } else {
        // An ownerless box is a top-level window of its own with a taskbar button, stacked as the
        // window manager stacks a new window of the active program, never above every program:
        // a normal window, since a dialog without a parent may be left out of the taskbar.
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_NORMAL);
        gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    }

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_container_set_border_width(GTK_CONTAINER(row), 12);
    if (const char* icon = IconNameOf(request.type)) {
        GtkWidget* image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
        gtk_widget_set_valign(image, GTK_ALIGN_START);
        gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    }
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_selectable(GTK_LABEL(label), TRUE);
    // A name broken across lines keeps its characters: no hyphen is added where it breaks.
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
    gtk_label_set_attributes(GTK_LABEL(label), attributes);
    pango_attr_list_unref(attributes);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    GtkWidget* text = gtk_scrolled_window_new(nullptr, nullptr);
    GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(text);
    gtk_scrolled_window_set_policy(scrolled, GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_propagate_natural_width(scrolled, TRUE);
    gtk_scrolled_window_set_propagate_natural_height(scrolled, TRUE);
    GtkWidget* viewport = gtk_viewport_new(nullptr, nullptr);
    gtk_viewport_set_shadow_type(GTK_VIEWPORT(viewport), GTK_SHADOW_NONE);
    gtk_container_add(GTK_CONTAINER(viewport), label);
    gtk_container_add(GTK_CONTAINER(text), viewport);
    gtk_box_pack_start(GTK_BOX(row), text, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box))), row, TRUE, TRUE, 0);

    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(box), g_dgettext("gtk30", "_OK"), GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    gtk_widget_show_all(row);
    SetFittingText(box, GTK_LABEL(label), scrolled, MonitorOf(parent), request.text);
    gtk_widget_grab_focus(ok);
    return box;
}

void OnResponse(GtkDialog* box, gint, gpointer data)
{
    auto* request = static_cast<BoxRequest*>(data);
    gtk_widget_destroy(GTK_WIDGET(box));
    request->answer.set_value(IDOK);
    delete request;
}

gboolean ShowFromLoop(gpointer data)
{
    auto* request = static_cast<BoxRequest*>(data);
    GtkWidget* box = CreateBox(*request);
    g_signal_connect(box, "response", G_CALLBACK(OnResponse), request);
    gtk_widget_show_all(box);
    return G_SOURCE_REMOVE;
}

int ShowGtkBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    if (!gdk_display_get_default()) {
        std::fprintf(stderr, "%s: %s\n", WideToUtf8(caption).c_str(), WideToUtf8(text).c_str());
        return IDOK;
    }
    auto* request = new BoxRequest{owner, WideToUtf8(text), WideToUtf8(caption), type, {}};
    std::future<int> answer = request->answer.get_future();
    if (IsMainThread()) {
        ShowFromLoop(request);
        while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            g_main_context_iteration(nullptr, TRUE);
    } else {
        g_idle_add_full(G_PRIORITY_DEFAULT, ShowFromLoop, request, nullptr);
    }
    return answer.get();
}

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    MessageBoxPresenter presenter;
    {
        std::lock_guard lock(g_presenterMutex);
        presenter = g_presenter;
    }
    std::wstring body = text ? text : L"";
    std::wstring title = caption ? caption : L"Error";
    return presenter ? presenter(owner, body, title, type) : ShowGtkBox(owner, body, title, type);
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    std::lock_guard lock(g_presenterMutex);
    std::swap(g_presenter, presenter);
    return presenter;
}
