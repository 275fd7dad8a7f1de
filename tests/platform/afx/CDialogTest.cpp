#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/afx/CDialog.h"
#include "platform/afx/CStatic.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Threads.h"
#include "platform/win/MessageSend.h"
#include "platform/win/WindowHandles.h"
#include "res/resource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

constexpr UINT WM_PROBE = WM_USER + 5;

TEST(CDialog, EscEnterAndACloseRequestEndTheRunWithTheCommandsResults)
{
    struct Case {
        const char* action;
        std::function<void(CDialog&)> act;
        int result;
    };
    const Case cases[] = {
        {"Esc", [](CDialog& d) { PressKey(d.m_hWnd, "Escape"); }, IDCANCEL},
        {"Enter", [](CDialog& d) { PressKey(d.m_hWnd, "Return"); }, IDOK},
        {"WM_CLOSE", [](CDialog& d) { d.SendMessage(WM_CLOSE); }, IDCANCEL},
        {"EndDialog", [](CDialog& d) { d.EndDialog(7); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        CDialog dialog(IDD_UPDATE_DIALOG);
        const int result = RunModal(dialog, [&] {
            c.act(dialog);
            EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }));
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
}

TEST(CDialog, ANumberThatNamesNoTemplateRunsNothing)
{
    CDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.IsModalRunning());
}

// The thread is asleep (in a wait), as the kernel reports it; polled until the limit.
bool SleepsWithin(DWORD threadId, std::chrono::seconds limit)
{
    const std::string stat = "/proc/self/task/" + std::to_string(threadId) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(stat);
        std::string line;
        std::getline(file, line);
        const std::size_t name = line.rfind(')');
        if (name != std::string::npos && name + 2 < line.size() && line[name + 2] == 'S')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Starts a worker in OnInitDialog that sends and posts to the dialog at once.
class EarlyMessagesDialog : public CDialog {
public:
    EarlyMessagesDialog() : CDialog(IDD_UPDATE_DIALOG) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND window = m_hWnd;
        std::promise<DWORD> workerId;
        std::future<DWORD> id = workerId.get_future();
        worker = std::thread([window, this, &workerId] {
            workerId.set_value(GetCurrentThreadId());
            sendResult = SendMessageW(window, WM_PROBE, 1, 0);
            PostMessageW(window, WM_PROBE, 2, 0);
        });
        // Until the worker sleeps in its send: its message waits for this function.
        EXPECT_TRUE(SleepsWithin(id.get(), std::chrono::seconds(30)));
        // What the main loop has to do now must not reach the dialog yet.
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        initialised = true;
        return TRUE;
    }

    LRESULT OnProbe(WPARAM wParam, LPARAM)
    {
        handled.push_back({static_cast<int>(wParam), initialised});
        if (handled.size() == 2)
            EndDialog(5);
        return 40 + static_cast<LRESULT>(wParam);
    }

    std::thread worker;
    std::atomic<LRESULT> sendResult = 0;
    bool initialised = false;
    std::vector<std::pair<int, bool>> handled;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EarlyMessagesDialog, CDialog)
    ON_MESSAGE(WM_PROBE, OnProbe)
END_MESSAGE_MAP()

TEST(CDialog, MessagesFromOtherThreadsWaitUntilOnInitDialogHasReturned)
{
    EarlyMessagesDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 5);
    dialog.worker.join();
    EXPECT_EQ(dialog.handled, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}}));
    EXPECT_EQ(dialog.sendResult, 41);
}

TEST(CDialog, EndDialogFromAnotherThreadEndsTheRunAndALateOneIsIgnored)
{
    CDialog dialog(IDD_UPDATE_DIALOG);
    EXPECT_EQ(RunModal(dialog, [&] {
                  EXPECT_TRUE(dialog.IsModalRunning());
                  std::thread([&] { dialog.EndDialog(9); }).join();
                  EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModalRunning(); }));
              }),
              9);

    // One that is still on its way when the run ends does not reach the next run.
    EXPECT_EQ(RunModal(dialog, [&] {
                  dialog.EndDialog(3);
                  std::thread([&] { dialog.EndDialog(8); }).join();
              }),
              3);
    std::thread([&] { dialog.EndDialog(4); }).join();
    EXPECT_EQ(RunModal(dialog, [&] {
                  RunLoopFor(std::chrono::milliseconds(100));
                  EXPECT_TRUE(dialog.IsModalRunning());
                  dialog.EndDialog(6);
              }),
              6);
}

class MovingDialog : public CDialog {
public:
    MovingDialog(UINT id, bool move) : CDialog(id), m_bMove(move) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_bMove)
            MoveWindow(30, 40, 200, 100);
        return TRUE;
    }

private:
    bool m_bMove;
};

TEST(CDialog, OnlyAHiddenDialogThatKeptItsPlaceIsCentredOnTheWorkArea)
{
    GdkRectangle area;
    gdk_monitor_get_workarea(gdk_display_get_monitor(gdk_display_get_default(), 0), &area);

    MovingDialog hidden(IDD_UPDATE_DIALOG, false);
    RunModal(hidden, [&] {
        CRect rect;
        hidden.GetClientRect(&rect);
        const POINT origin = ScreenOrigin(hidden.m_hWnd);
        EXPECT_EQ(origin.x, (2 * area.x + area.width) / 2 - rect.Width() / 2);
        EXPECT_EQ(origin.y, (2 * area.y + area.height) / 2 - rect.Height() / 2);
    });

    MovingDialog moved(IDD_UPDATE_DIALOG, true);
    RunModal(moved, [&] {
        const POINT origin = ScreenOrigin(moved.m_hWnd);
        EXPECT_EQ(origin.x, 30);
        EXPECT_EQ(origin.y, 40);
    });

    MovingDialog visible(IDD_LAUNCHER_DIALOG, false);
    RunModal(visible, [&] {
        const POINT origin = ScreenOrigin(visible.m_hWnd);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);
    });
}

class ProbeStatic : public CStatic {
protected:
    LRESULT OnProbe(WPARAM, LPARAM) { return 42; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeStatic, CStatic)
    ON_MESSAGE(WM_PROBE, OnProbe)
END_MESSAGE_MAP()

// Binds a control and answers the cancel command itself.
class BindingDialog : public CDialog {
public:
    BindingDialog() : CDialog(IDD_UPDATE_DIALOG) {}

    ProbeStatic probe;
    CStatic unbound;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TEXT_STATUS, probe);
        DDX_Control(pDX, 4711, unbound);
    }
    void OnOwnCancel() { EndDialog(77); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BindingDialog, CDialog)
    ON_COMMAND(IDCANCEL, OnOwnCancel)
END_MESSAGE_MAP()

TEST(CDialog, DataExchangeAttachesControlsWhoseMapsComeBeforeTheDefaultProcessing)
{
    BindingDialog dialog;
    const int result = RunModal(dialog, [&] {
        ASSERT_NE(dialog.probe.m_hWnd, nullptr);
        EXPECT_EQ(dialog.unbound.m_hWnd, nullptr);
        EXPECT_EQ(CWnd::FromHandlePermanent(dialog.probe.m_hWnd), &dialog.probe);
        HWND statusItem = nullptr;
        dialog.GetDlgItem(IDC_TEXT_STATUS, &statusItem);
        EXPECT_EQ(statusItem, dialog.probe.m_hWnd);
        EXPECT_EQ(dialog.probe.SendMessage(WM_PROBE), 42);
        EXPECT_EQ(dialog.SendMessage(WM_PROBE), 0);
        // The dialog gave its controls its font.
        EXPECT_NE(dialog.probe.GetFont(), nullptr);
        EXPECT_EQ(dialog.probe.GetFont(), dialog.GetFont());
        // The derived map's cancel entry comes before CDialog's.
        PressKey(dialog.m_hWnd, "Escape");
    });
    EXPECT_EQ(result, 77);
    EXPECT_EQ(dialog.probe.m_hWnd, nullptr);
}

}  // namespace
