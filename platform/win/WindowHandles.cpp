#include "platform/win/WindowHandles.h"

#include <glib.h>

#include <deque>
#include <map>
#include <mutex>

#include "platform/win/MessageRecords.h"
#include "platform/win/WindowDelivery.h"

namespace {

struct WindowEntry {
    WindowProcedure* procedure = nullptr;
    GtkWidget* widget = nullptr;
    bool delivering = false;
    bool flushScheduled = false;
    std::deque<Delivery> held;
};

std::mutex g_windowsMutex;
std::map<HWND, WindowEntry> g_windows;
std::uintptr_t g_nextHandle = 0x1000;

gboolean FlushHeld(gpointer data)
{
    HWND hwnd = static_cast<HWND>(data);
    for (;;) {
        Delivery next;
        WindowProcedure* procedure;
        {
            std::lock_guard lock(g_windowsMutex);
            auto found = g_windows.find(hwnd);
            if (found == g_windows.end())
                return G_SOURCE_REMOVE;
            WindowEntry& entry = found->second;
            if (!entry.delivering || entry.held.empty()) {
                entry.flushScheduled = false;
                return G_SOURCE_REMOVE;
            }
            next = std::move(entry.held.front());
            entry.held.pop_front();
            procedure = entry.procedure;
        }
        LRESULT result = procedure->WindowProc(next.message, next.wParam, next.lParam);
        if (next.wait)
            next.wait->Finish(result);
    }
}

void ScheduleFlush(HWND hwnd)
{
    g_idle_add_full(G_PRIORITY_DEFAULT, FlushHeld, hwnd, nullptr);
}

}  // namespace

HWND RegisterWindowHandle(WindowProcedure* procedure, GtkWidget* widget)
{
    std::lock_guard lock(g_windowsMutex);
    HWND hwnd = reinterpret_cast<HWND>(g_nextHandle++);
    WindowEntry entry;
    entry.procedure = procedure;
    entry.widget = widget;
    g_windows.emplace(hwnd, std::move(entry));
    return hwnd;
}

void UnregisterWindowHandle(HWND hWnd)
{
    std::deque<Delivery> dropped;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = g_windows.find(hWnd);
        if (found == g_windows.end())
            return;
        dropped = std::move(found->second.held);
        g_windows.erase(found);
    }
    for (const Delivery& delivery : dropped)
        Undeliverable(delivery);
}

void SetWindowDelivery(HWND hWnd, bool deliver)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    if (found == g_windows.end())
        return;
    WindowEntry& entry = found->second;
    entry.delivering = deliver;
    if (deliver && !entry.held.empty() && !entry.flushScheduled) {
        entry.flushScheduled = true;
        ScheduleFlush(hWnd);
    }
}

GtkWidget* GetWindowWidget(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    return found == g_windows.end() ? nullptr : found->second.widget;
}

WindowProcedure* GetWindowProcedure(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    auto found = g_windows.find(hWnd);
    return found == g_windows.end() ? nullptr : found->second.procedure;
}

BOOL IsWindow(HWND hWnd)
{
    std::lock_guard lock(g_windowsMutex);
    return g_windows.count(hWnd) ? TRUE : FALSE;
}

void Undeliverable(const Delivery& delivery)
{
    FreeMessageRecord(delivery.message, delivery.wParam, delivery.lParam);
    if (delivery.wait)
        delivery.wait->Finish(0);
}

void Deliver(Delivery delivery)
{
    WindowProcedure* procedure = nullptr;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = g_windows.find(delivery.hwnd);
        if (found != g_windows.end()) {
            WindowEntry& entry = found->second;
            if (!entry.delivering || !entry.held.empty()) {
                entry.held.push_back(std::move(delivery));
                return;
            }
            procedure = entry.procedure;
        }
    }
    if (!procedure) {
        Undeliverable(delivery);
        return;
    }
    LRESULT result = procedure->WindowProc(delivery.message, delivery.wParam, delivery.lParam);
    if (delivery.wait)
        delivery.wait->Finish(result);
}
