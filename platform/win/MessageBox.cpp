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

GtkMessageType MessageTypeOf(UINT type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return GTK_MESSAGE_ERROR;
    case MB_ICONINFORMATION:
        return GTK_MESSAGE_INFO;
    default:
        return GTK_MESSAGE_OTHER;
    }
}

GtkWidget* CreateBox(const BoxRequest& request)
{
    GtkWindow* parent = nullptr;
    if (GtkWidget* widget = GetWindowWidget(request.owner)) {
        GtkWidget* top = gtk_widget_get_toplevel(widget);
        if (GTK_IS_WINDOW(top))
            parent = GTK_WINDOW(top);
    }
    GtkWidget* box = gtk_message_dialog_new(parent, parent ? GTK_DIALOG_DESTROY_WITH_PARENT : GtkDialogFlags(0),
                                            MessageTypeOf(request.type), GTK_BUTTONS_OK, "%s",
                                            request.text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), request.caption.c_str());
    gtk_window_set_position(GTK_WINDOW(box), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
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
