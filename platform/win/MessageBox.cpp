#include "platform/win/MessageBox.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <future>
#include <mutex>

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
    GtkWidget* label = gtk_label_new(request.text.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box))), row, TRUE, TRUE, 0);

    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(box), g_dgettext("gtk30", "_OK"), GTK_RESPONSE_OK);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
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
