// How a message reaches a registered window: the window registry delivers, the message send
// hands over. The layer's own; the launcher does not include it.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/win/WinTypes.h"

// A message sent from another thread: the sender waits here for the procedure's result.
struct SendWait {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    LRESULT result = 0;

    void Finish(LRESULT value)
    {
        std::lock_guard lock(mutex);
        result = value;
        finished = true;
        done.notify_all();
    }
};

struct Delivery {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<SendWait> wait;  // null for a posted message
};

// Main thread: hands one message to its window, or holds it while the window does not deliver.
void Deliver(Delivery delivery);
// The window is gone: the record is freed and a waiting sender gets 0.
void Undeliverable(const Delivery& delivery);
