// What the update engine's tests share: a window that records the notifications, a recorder of
// message boxes, and a manager ready to run transfers.
#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win/MessageBox.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowHandles.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/MainLoop.h"
#include "update/CUpdateManager.h"

struct Notification {
    WPARAM code;
    UpdateSummaryInfo summary;
    UpdateProgressInfo progress;
};

// A plain window on the main thread that keeps each notification and frees its record.
class NotifyRecorder : public WindowProcedure {
public:
    NotifyRecorder() : hwnd(RegisterWindowHandle(this)) { SetWindowDelivery(hwnd, true); }
    ~NotifyRecorder() { UnregisterWindowHandle(hwnd); }

    LRESULT WindowProc(UINT message, WPARAM code, LPARAM record) override
    {
        if (message != WM_UPDATE_NOTIFY)
            return 0;
        Notification n{code, {}, {}};
        UpdateNotifyRecord taken = TakeUpdateNotifyRecord(code, record);
        if (taken.summary)
            n.summary = *taken.summary;
        if (taken.progress)
            n.progress = *taken.progress;
        received.push_back(n);
        if (onNotify)
            onNotify(n);
        return 0;
    }

    std::vector<WPARAM> Codes() const
    {
        std::vector<WPARAM> codes;
        for (const Notification& n : received)
            codes.push_back(n.code);
        return codes;
    }
    std::vector<WPARAM> CodesWithoutProgress() const
    {
        std::vector<WPARAM> codes;
        for (const Notification& n : received)
            if (n.code != UN_PROGRESS)
                codes.push_back(n.code);
        return codes;
    }
    size_t Count(WPARAM code) const
    {
        size_t count = 0;
        for (const Notification& n : received)
            count += n.code == code;
        return count;
    }

    HWND hwnd;
    std::vector<Notification> received;
    std::function<void(const Notification&)> onNotify;
};


