#include "platform/afx/DialogWindow.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/afx/ButtonWindow.h"
#include "platform/afx/ControlWindow.h"
#include "platform/win/Icons.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Text.h"
#include "platform/win/WindowMessages.h"
#include "platform/afx/DialogTemplates.h"

namespace {

GtkWidget* NewContainer()
{
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window), fixed);
    gtk_widget_show(fixed);
    return fixed;
}

std::unique_ptr<ControlWindow> NewControl(DialogWindow& dialog, GtkFixed* container, const DialogItemTemplate& item,
                                          CFont* font)
{
    if (std::wstring_view(item.windowClass) == L"Button")
        return std::make_unique<ButtonWindow>(dialog, container, item, font);
    return std::make_unique<ControlWindow>(dialog, container, item, font);
}

}  // namespace

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate)
    : NativeWindow(NewContainer(), 0, dialogTemplate.style, &m_font),
      m_pWindow(GTK_WINDOW(gtk_widget_get_parent(m_pWidget)))
{
    m_font.CreateDialogFont(dialogTemplate.font);
    int unitWidth = 0;
    int unitHeight = 0;
    m_font.GetBaseUnits(unitWidth, unitHeight);
    auto pixelsX = [&](int units) { return units * unitWidth / 4; };
    auto pixelsY = [&](int units) { return units * unitHeight / 8; };

    gtk_window_set_title(m_pWindow, WideToUtf8(dialogTemplate.title).c_str());
    const DialogUnitRect& rect = dialogTemplate.rect;
    Move(pixelsX(rect.x), pixelsY(rect.y), pixelsX(rect.cx), pixelsY(rect.cy), false);
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        m_controls.push_back(NewControl(*this, GTK_FIXED(m_pWidget), item, &m_font));
        const DialogUnitRect& place = item.rect;
        m_controls.back()->Move(pixelsX(place.x), pixelsY(place.y), pixelsX(place.cx), pixelsY(place.cy), false);
    }

    gtk_widget_add_events(GTK_WIDGET(m_pWindow), GDK_BUTTON_PRESS_MASK);
    g_signal_connect(m_pWindow, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(m_pWindow, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(m_pWindow, "delete-event", G_CALLBACK(OnDelete), this);
}

DialogWindow::~DialogWindow()
{
    m_controls.clear();
    g_signal_handlers_disconnect_by_data(m_pWindow, this);
    Release();
    gtk_widget_destroy(GTK_WIDGET(m_pWindow));
}

LRESULT DialogWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        WindowProc(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_SETICON:
        return SetIcon(wParam, reinterpret_cast<HICON>(lParam));
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
            gtk_window_iconify(m_pWindow);
        return 0;
    default:
        return NativeWindow::DefaultProc(message, wParam, lParam);
    }
}

LRESULT DialogWindow::SetIcon(WPARAM kind, HICON icon)
{
    HICON& slot = kind == ICON_BIG ? m_hBigIcon : m_hSmallIcon;
    HICON previous = slot;
    slot = icon;
    GList* images = nullptr;
    for (HICON each : {m_hBigIcon, m_hSmallIcon})
        for (const GObjectPtr<GdkPixbuf>& image : IconImages(each))
            if (!g_list_find(images, image.get()))
                images = g_list_append(images, image.get());
    gtk_window_set_icon_list(m_pWindow, images);
    g_list_free(images);
    return reinterpret_cast<LRESULT>(previous);
}

void DialogWindow::Move(int x, int y, int width, int height, bool repaint)
{
    m_nX = x;
    m_nY = y;
    m_nWidth = std::max(width, 1);
    m_nHeight = std::max(height, 1);
    gtk_window_move(m_pWindow, x, y);
    gtk_widget_set_size_request(m_pWidget, m_nWidth, m_nHeight);
    gtk_window_resize(m_pWindow, m_nWidth, m_nHeight);
    if (repaint)
        gtk_widget_queue_draw(m_pWidget);
}

POINT DialogWindow::ClientOrigin() const
{
    GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(m_pWindow));
    if (!window || !gtk_widget_get_mapped(GTK_WIDGET(m_pWindow)))
        return {m_nX, m_nY};
    int x = 0;
    int y = 0;
    gdk_window_get_origin(window, &x, &y);
    return {x, y};
}

void DialogWindow::SetText(const CString& text)
{
    gtk_window_set_title(m_pWindow, WideToUtf8(text.str()).c_str());
}

bool DialogWindow::IsIconic() const
{
    GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(m_pWindow));
    return window && (gdk_window_get_state(window) & GDK_WINDOW_STATE_ICONIFIED);
}

HWND DialogWindow::ChildHandle(int id) const
{
    for (const auto& control : m_controls)
        if (control->Id() == id)
            return control->Handle();
    return nullptr;
}

void DialogWindow::SetDelivery(bool deliver)
{
    SetWindowDelivery(m_hWnd, deliver);
    for (const auto& control : m_controls)
        SetWindowDelivery(control->Handle(), deliver);
}

void DialogWindow::CenterOnWorkArea()
{
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(m_pWindow));
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return;
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    const int right = area.x + area.width;
    const int bottom = area.y + area.height;
    int x = (area.x + right) / 2 - m_nWidth / 2;
    int y = (area.y + bottom) / 2 - m_nHeight / 2;
    if (x + m_nWidth > right)
        x = right - m_nWidth;
    if (x < area.x)
        x = area.x;
    if (y + m_nHeight > bottom)
        y = bottom - m_nHeight;
    if (y < area.y)
        y = area.y;
    Move(x, y, m_nWidth, m_nHeight, false);
}

void DialogWindow::Show()
{
    gtk_widget_show(GTK_WIDGET(m_pWindow));
}

void DialogWindow::Hide()
{
    gtk_widget_hide(GTK_WIDGET(m_pWindow));
}

gboolean DialogWindow::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data)
{
    auto* dialog = static_cast<DialogWindow*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY)
        return FALSE;
    const int x = static_cast<int>(event->x_root);
    const int y = static_cast<int>(event->y_root);
    const LRESULT hit = dialog->WindowProc(WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    if (hit == HTCAPTION)
        gtk_window_begin_move_drag(dialog->m_pWindow, static_cast<gint>(event->button), x, y, event->time);
    return TRUE;
}

gboolean DialogWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data)
{
    auto* dialog = static_cast<DialogWindow*>(data);
    WORD command = 0;
    switch (event->keyval) {
    case GDK_KEY_Escape:
        command = IDCANCEL;
        break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        command = IDOK;
        break;
    default:
        return FALSE;
    }
    // A focused widget that takes the key (the page of a browser) keeps it; the dialog's own
    // commands come before the window's key bindings.
    if (gtk_window_propagate_key_event(dialog->m_pWindow, event))
        return TRUE;
    dialog->WindowProc(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    return TRUE;
}

gboolean DialogWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    static_cast<DialogWindow*>(data)->WindowProc(WM_CLOSE, 0, 0);
    return TRUE;
}
