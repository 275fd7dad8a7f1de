#include "platform/afx/ControlWindow.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <string_view>

#include "platform/afx/DialogWindow.h"
#include "platform/win/MouseTracking.h"
#include "platform/win/WindowMessages.h"
#include "platform/afx/DialogTemplates.h"
#include "platform/win/WindowStyles.h"

namespace {

GtkWidget* NewEventBox()
{
    GtkWidget* box = gtk_event_box_new();
    gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
    gtk_widget_add_events(box, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                   GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
    return box;
}

LPARAM PointParameter(double x, double y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<int>(x)), static_cast<WORD>(static_cast<int>(y)));
}

}  // namespace

ControlWindow::ControlWindow(DialogWindow& dialog, GtkFixed* container, const DialogItemTemplate& item, CFont* font)
    : NativeWindow(NewEventBox(), item.id, item.style, font),
      m_dialog(dialog),
      m_pContainer(container),
      m_bStatic(std::wstring_view(item.windowClass) == L"Static")
{
    gtk_fixed_put(container, m_pWidget, 0, 0);
    if (item.style & WS_VISIBLE)
        gtk_widget_show(m_pWidget);
    g_signal_connect(m_pWidget, "button-press-event", G_CALLBACK(OnButton), this);
    g_signal_connect(m_pWidget, "button-release-event", G_CALLBACK(OnButton), this);
    g_signal_connect(m_pWidget, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(m_pWidget, "leave-notify-event", G_CALLBACK(OnLeave), this);
    g_signal_connect(m_pWidget, "enter-notify-event", G_CALLBACK(OnEnter), this);
}

ControlWindow::~ControlWindow()
{
    Release();
}

LRESULT ControlWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST && m_bStatic)
        return HTTRANSPARENT;
    return NativeWindow::DefaultProc(message, wParam, lParam);
}

void ControlWindow::Move(int x, int y, int width, int height, bool repaint)
{
    m_nX = x;
    m_nY = y;
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    gtk_fixed_move(m_pContainer, m_pWidget, x, y);
    gtk_widget_set_size_request(m_pWidget, m_nWidth, m_nHeight);
    if (repaint)
        gtk_widget_queue_draw(m_pWidget);
}

POINT ControlWindow::ClientOrigin() const
{
    const POINT dialog = m_dialog.ClientOrigin();
    return {dialog.x + m_nX, dialog.y + m_nY};
}

bool ControlWindow::IsEnabled() const
{
    return !(Style() & WS_DISABLED);
}

gboolean ControlWindow::OnButton(GtkWidget*, GdkEventButton* event, gpointer data)
{
    auto* control = static_cast<ControlWindow*>(data);
    if (event->button != GDK_BUTTON_PRIMARY)
        return FALSE;
    if (event->type == GDK_BUTTON_PRESS) {
        const LRESULT hit = control->WindowProc(WM_NCHITTEST, 0, PointParameter(event->x_root, event->y_root));
        if (hit == HTTRANSPARENT)
            return FALSE;
        if (control->IsEnabled())
            control->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, PointParameter(event->x, event->y));
    } else if (event->type == GDK_BUTTON_RELEASE && control->IsEnabled()) {
        control->WindowProc(WM_LBUTTONUP, 0, PointParameter(event->x, event->y));
    }
    return TRUE;
}

gboolean ControlWindow::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data)
{
    auto* control = static_cast<ControlWindow*>(data);
    if (control->IsEnabled())
        control->WindowProc(WM_MOUSEMOVE, (event->state & GDK_BUTTON1_MASK) ? MK_LBUTTON : 0,
                            PointParameter(event->x, event->y));
    return FALSE;
}

gboolean ControlWindow::OnEnter(GtkWidget*, GdkEventCrossing* event, gpointer data)
{
    // As on Windows the pointer's arrival is a move over the window; the toolkit may report the
    // motion that brought it only as the crossing.
    auto* control = static_cast<ControlWindow*>(data);
    if (control->IsEnabled())
        control->WindowProc(WM_MOUSEMOVE, (event->state & GDK_BUTTON1_MASK) ? MK_LBUTTON : 0,
                            PointParameter(event->x, event->y));
    return FALSE;
}

gboolean ControlWindow::OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data)
{
    auto* control = static_cast<ControlWindow*>(data);
    if (event->detail != GDK_NOTIFY_INFERIOR && TakeMouseLeaveRequest(control->Handle()))
        control->WindowProc(WM_MOUSELEAVE, 0, 0);
    return FALSE;
}
