// What the tests of the two update windows share: a recorder of message boxes, the centre of the
// work area and the wait for a label's repaint.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Threads.h"
#include "tests/platform/afx/WindowTestSupport.h"

// Message boxes are recorded instead of shown while it lives.
class BoxRecorder {
public:
    BoxRecorder()
    {
        m_previous = SetMessageBoxPresenter([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            std::lock_guard lock(m_mutex);
            m_texts.push_back(text);
            return IDOK;
        });
    }
    ~BoxRecorder() { SetMessageBoxPresenter(m_previous); }

    size_t Count() const
    {
        std::lock_guard lock(m_mutex);
        return m_texts.size();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::wstring> m_texts;
    MessageBoxPresenter m_previous;
};

// No thread can be started while it lives.
struct RefusedThreadStarts {
    RefusedThreadStarts() { RefuseThreadStarts(true); }
    ~RefusedThreadStarts() { RefuseThreadStarts(false); }
    RefusedThreadStarts(const RefusedThreadStarts&) = delete;
    RefusedThreadStarts& operator=(const RefusedThreadStarts&) = delete;
};

// Where the dialog manager puts a hidden window of that size: the middle of the work area.
inline POINT CentreOfWorkArea(int width, int height)
{
    GdkRectangle area;
    gdk_monitor_get_workarea(gdk_display_get_monitor(gdk_display_get_default(), 0), &area);
    return {(2 * area.x + area.width) / 2 - width / 2, (2 * area.y + area.height) / 2 - height / 2};
}

// Counts the repaints of the two bars and two labels of an update window around one report.
struct UpdateWindowPaints {
    UpdateWindowPaints(CImageProgressCtrl& upper, CImageProgressCtrl& lower, CTransparentStatic& upperText,
                       CTransparentStatic& lowerText)
        : upperBar(upper.m_hWnd), lowerBar(lower.m_hWnd), upperLabel(upperText.m_hWnd), lowerLabel(lowerText.m_hWnd)
    {
    }

    // Both labels repaint on every report; a bar invalidated with them is drawn in the same frame.
    bool WaitForLabels()
    {
        const bool painted = RunLoopUntil([&] { return upperLabel.Count() > 0 && lowerLabel.Count() > 0; });
        RunLoopFor(std::chrono::milliseconds(30));
        return painted;
    }

    DrawCounter upperBar;
    DrawCounter lowerBar;
    DrawCounter upperLabel;
    DrawCounter lowerLabel;
};
