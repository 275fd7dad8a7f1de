#include <gtest/gtest.h>

#include <glib.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/win/Threads.h"
#include "platform/win/MessageRecords.h"
#include "platform/win/MessageSend.h"
#include "platform/win/ThreadQueues.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowHandles.h"
#include "tests/support/MainLoop.h"

namespace {

constexpr UINT WM_TEST = WM_USER + 100;
constexpr UINT WM_RECORD = WM_USER + 101;

std::atomic<int> g_recordsFreed = 0;
void FreeTestRecord(WPARAM, LPARAM record)
{
    delete reinterpret_cast<int*>(record);
    ++g_recordsFreed;
}

// A plain window that records what it receives.
class RecordingWindow : public WindowProcedure {
public:
    RecordingWindow() : hwnd(RegisterWindowHandle(this)) { SetWindowDelivery(hwnd, true); }
    ~RecordingWindow() { UnregisterWindowHandle(hwnd); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        EXPECT_TRUE(IsMainThread());
        received.push_back(wParam);
        if (message == WM_RECORD)
            FreeTestRecord(wParam, lParam);
        return static_cast<LRESULT>(wParam * 10);
    }

    HWND hwnd;
    std::vector<WPARAM> received;
};

struct WorkerArgs {
    HWND hwnd;
    std::vector<LRESULT> results;
};

unsigned SendAndPost(void* data)
{
    auto* args = static_cast<WorkerArgs*>(data);
    args->results.push_back(SendMessageW(args->hwnd, WM_TEST, 1, 0));
    PostMessageW(args->hwnd, WM_TEST, 2, 0);
    args->results.push_back(SendMessageW(args->hwnd, WM_TEST, 3, 0));
    return 7;
}

TEST(WindowHandles, SendFromAWorkerWaitsForTheMainThreadAndKeepsOrder)
{
    RecordingWindow window;
    WorkerArgs args{window.hwnd, {}};
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SendAndPost, &args, 0, nullptr));
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);  // serves the loop meanwhile
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
    RunLoopUntil([&] { return window.received.size() == 3; });
    EXPECT_EQ(window.received, (std::vector<WPARAM>{1, 2, 3}));
    EXPECT_EQ(args.results, (std::vector<LRESULT>{10, 30}));
}

TEST(WindowHandles, SendOnTheOwnThreadCallsDirectlyAndPostQueues)
{
    RecordingWindow window;
    EXPECT_EQ(SendMessageW(window.hwnd, WM_TEST, 4, 0), 40);
    EXPECT_EQ(window.received.size(), 1u);
    EXPECT_TRUE(PostMessageW(window.hwnd, WM_TEST, 5, 0));
    EXPECT_EQ(window.received.size(), 1u);
    RunLoopUntil([&] { return window.received.size() == 2; });
    EXPECT_EQ(window.received.back(), 5u);
}

TEST(WindowHandles, MessagesWaitUntilDeliveryIsOn)
{
    RecordingWindow window;
    SetWindowDelivery(window.hwnd, false);
    PostMessageW(window.hwnd, WM_TEST, 1, 0);
    PostMessageW(window.hwnd, WM_TEST, 2, 0);
    for (int i = 0; i < 20; ++i)
        g_main_context_iteration(nullptr, FALSE);
    EXPECT_TRUE(window.received.empty());
    SetWindowDelivery(window.hwnd, true);
    PostMessageW(window.hwnd, WM_TEST, 3, 0);
    RunLoopUntil([&] { return window.received.size() == 3; });
    EXPECT_EQ(window.received, (std::vector<WPARAM>{1, 2, 3}));
}

unsigned SendToGoneWindow(void* data)
{
    HWND hwnd = *static_cast<HWND*>(data);
    LRESULT sent = SendMessageW(hwnd, WM_RECORD, 1, reinterpret_cast<LPARAM>(new int(1)));
    BOOL posted = PostMessageW(hwnd, WM_RECORD, 2, reinterpret_cast<LPARAM>(new int(2)));
    return sent == 0 && !posted ? 1 : 0;
}

TEST(WindowHandles, AGoneWindowAnswersAtOnceAndItsRecordsAreFreed)
{
    SetMessageRecordDeleter(WM_RECORD, FreeTestRecord);
    g_recordsFreed = 0;
    HWND gone;
    {
        RecordingWindow window;
        gone = window.hwnd;
        // Held while delivery is off, then dropped with the window.
        SetWindowDelivery(gone, false);
        PostMessageW(gone, WM_RECORD, 0, reinterpret_cast<LPARAM>(new int(0)));
        g_main_context_iteration(nullptr, FALSE);
    }
    EXPECT_FALSE(IsWindow(gone));
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SendToGoneWindow, &gone, 0, nullptr));
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 1u);
    RunLoopUntil([] { return g_recordsFreed == 3; });
    EXPECT_EQ(g_recordsFreed, 3);
}

unsigned DrainOwnQueue(void* data)
{
    auto* seen = static_cast<std::vector<WPARAM>*>(data);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 9, 0));
    EXPECT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_TEST, 8, 0));
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        seen->push_back(msg.wParam);
    }
    return 0;
}

TEST(ThreadQueues, PeekDrainsWhatWasPostedToTheThreadInOrder)
{
    std::vector<WPARAM> seen;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, DrainOwnQueue, &seen, 0, nullptr));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(seen, (std::vector<WPARAM>{9, 8}));
    EXPECT_FALSE(PostThreadMessageW(0x7fffffff, WM_TEST, 0, 0));
}

TEST(ThreadQueues, AThreadHasAQueueFromItsFirstPeekAndSeesWhatOthersPost)
{
    std::promise<DWORD> workerId;
    std::promise<void> refused, peekedOnce, posted;
    WPARAM seen = 0;
    std::thread worker([&] {
        workerId.set_value(GetCurrentThreadId());
        refused.get_future().wait();
        MSG msg;
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        peekedOnce.set_value();
        posted.get_future().wait();
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            seen = msg.wParam;
    });
    const DWORD id = workerId.get_future().get();
    EXPECT_FALSE(PostThreadMessageW(id, WM_TEST, 1, 0));  // no queue before the first peek
    refused.set_value();
    peekedOnce.get_future().wait();
    EXPECT_TRUE(PostThreadMessageW(id, WM_TEST, 2, 0));
    posted.set_value();
    worker.join();
    EXPECT_EQ(seen, 2u);
}

unsigned SleepAWhile(void*)
{
    Sleep(300);
    return 3;
}

TEST(Threads, WaitTimesOutThenSucceedsAndExitCodeFollowsTheThread)
{
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SleepAWhile, nullptr, 0, nullptr));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    DWORD started = timeGetTime();
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    EXPECT_GE(static_cast<DWORD>(timeGetTime() - started), 45u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 3u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, ClosingTheHandleOfARunningThreadIsSafe)
{
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SleepAWhile, nullptr, 0, nullptr));
    EXPECT_TRUE(CloseHandle(thread));
    Sleep(400);
}

}  // namespace
