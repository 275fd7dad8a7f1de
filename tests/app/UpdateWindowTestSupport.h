// What the tests of the two update windows share: a recorder of message boxes, the centre of the
// work area, the wait for a label's repaint and the shape of their skin.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/CBaseDlg.h"
#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"
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

// Where the dialog manager puts a hidden window of that size: the middle of the work area.
inline POINT CentreOfWorkArea(int width, int height)
{
    GdkRectangle area;
    gdk_monitor_get_workarea(gdk_display_get_monitor(gdk_display_get_default(), 0), &area);
    return {(2 * area.x + area.width) / 2 - width / 2, (2 * area.y + area.height) / 2 - height / 2};
}

// The shape the update windows' skin gives them; the caller owns it.
inline cairo_region_t* UpdateSkinShape()
{
    CBitmap skin;
    skin.LoadBitmap(IDB_UPDATE_BACKGROUND);
    HRGN region = CBaseDlg::CreateRegionFromBitmap(skin);
    cairo_region_t* shape = cairo_region_copy(RegionOf(region));
    DeleteObject(region);
    return shape;
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
