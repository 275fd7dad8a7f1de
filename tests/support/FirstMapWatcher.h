// What the X server shows of each window it maps as a child of the root window, watched from a
// connection of its own on a thread of its own: the window's bounding shape at its first map,
// read with the server grabbed, and whether that shape changed after the map.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win/CairoPtr.h"
#include "platform/win/GdiTypes.h"

class CDialog;

// The X window of a top-level window's handle, 0 before it is realized.
unsigned long TopLevelXid(HWND window);

class FirstMapWatcher {
public:
    // Watching has begun when it returns.
    FirstMapWatcher();
    ~FirstMapWatcher();
    FirstMapWatcher(const FirstMapWatcher&) = delete;
    FirstMapWatcher& operator=(const FirstMapWatcher&) = delete;

    // Whether the watcher has handled the window's first map.
    bool SawFirstMap(unsigned long window) const;
    // Handles everything that happened on the server before the call, then stops watching.
    void Stop();

    // The window's bounding shape at its first map (its full rectangle when unshaped), null when
    // no map of it was seen.
    CairoPtr<cairo_region_t> ShapeAtFirstMap(unsigned long window) const;
    // Whether the bounding shape was set again after the first map.
    bool ReshapedAfterFirstMap(unsigned long window) const;

private:
    struct Seen {
        std::vector<cairo_rectangle_int_t> shape;
        bool reshaped = false;
    };

    void Watch();
    void Handle(const union _XEvent& event);
    bool Exists(unsigned long window);

    struct _XDisplay* m_display;
    int m_shapeEventBase = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::map<unsigned long, Seen> m_mapped;
    std::thread m_thread;
};

// The dialog's modal run under a watcher, kept going until the watcher has handled the window's
// first map and then ended (-2) unless it has ended by itself: success when the window had the
// shape as its bounding shape from that map on.
::testing::AssertionResult ShapedFromItsFirstMap(CDialog& dialog, const cairo_region_t* shape);
