// What the tests of the two update windows share: a recorder of message boxes, the centre of the
// work area, the wait for a label's repaint, the labels' ink in the window's picture and the shape
// of their skin.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/CBaseDlg.h"
#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"
#include "platform/win/CairoPtr.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Threads.h"
#include "platform/win/WindowHandles.h"
#include "res/resource.h"
#include "tests/support/BoxRecorder.h"
#include "tests/support/Reply.h"
#include "tests/support/WindowTestSupport.h"
#include "update/UpdateNotify.h"

// A list whose head goes on for ten minutes, a line every half second: the worker waits on it,
// never near its receive time-out, until the window's manager stops it at the test's end.
inline Reply EndlessListHead()
{
    return Reply::Status(404).TrickleHeaders(std::chrono::milliseconds(500), 1200);
}

// What an update window showed right after it had handled a notification.
struct Shown {
    WPARAM code;
    std::wstring status;
    int upper;
    int lower;
    std::wstring upperText;
    std::wstring lowerText;
    UpdateProgressInfo report;
};

// An update window that writes down what it shows after each notification, with its controls
// open to the test.
template <class UpdateDialog>
class ObservedUpdateDlg : public UpdateDialog {
public:
    using UpdateDialog::UpdateDialog;
    using UpdateDialog::m_progFile;
    using UpdateDialog::m_progTotal;
    using UpdateDialog::m_txtFile;
    using UpdateDialog::m_txtStatus;
    using UpdateDialog::m_txtTotal;

    std::vector<Shown> shown;

protected:
    LRESULT WindowProc(UINT message, WPARAM code, LPARAM record) override
    {
        if (message != WM_UPDATE_NOTIFY)
            return UpdateDialog::WindowProc(message, code, record);
        UpdateProgressInfo report;
        if (code == UN_PROGRESS)
            report = *reinterpret_cast<UpdateProgressInfo*>(record);
        const LRESULT result = UpdateDialog::WindowProc(message, code, record);
        shown.push_back({code, m_txtStatus.m_strText.str(), m_progTotal.m_nPos, m_progFile.m_nPos,
                         m_txtTotal.m_strText.str(), m_txtFile.m_strText.str(), report});
        return result;
    }
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

// A label and the rectangle of the window where the layout puts it.
struct PlacedLabel {
    const CTransparentStatic& label;
    RECT place;
};

// The colour of the update windows' texts.
constexpr COLORREF kUpdateWindowTextColour = RGB(84, 159, 199);

// The two percentages right of the bars and the status sentence under them.
inline std::vector<PlacedLabel> UpdateWindowLabels(const CTransparentStatic& total, const CTransparentStatic& file,
                                                   const CTransparentStatic& status)
{
    return {{total, {368, 111, 418, 127}}, {file, {368, 141, 418, 157}}, {status, {145, 164, 315, 180}}};
}

// Whether the picture shows at (x, y), pixel for pixel, what the control draws on its own.
inline bool ShowsControl(const WindowPicture& picture, int x, int y, HWND control)
{
    GtkWidget* widget = GetWindowWidget(control);
    const int width = gtk_widget_get_allocated_width(widget);
    const int height = gtk_widget_get_allocated_height(widget);
    CairoPtr<cairo_surface_t> surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    gtk_widget_draw(widget, CairoPtr<cairo_t>(cairo_create(surface.get())).get());
    cairo_surface_flush(surface.get());
    bool same = true;
    for (int row = 0; row < height && same; ++row) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface.get()) +
                                                                    row * cairo_image_surface_get_stride(surface.get()));
        for (int column = 0; column < width && same; ++column) {
            const std::uint32_t pixel = pixels[column];
            same = picture.At(x + column, y + row) ==
                   RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
        }
    }
    return same;
}

// Whether the pixel is the colour, give or take the shading of anti-aliased text at its strongest.
inline bool InkOf(COLORREF colour, COLORREF pixel)
{
    constexpr int kShading = 10;
    return std::abs(GetRValue(pixel) - GetRValue(colour)) <= kShading &&
           std::abs(GetGValue(pixel) - GetGValue(colour)) <= kShading &&
           std::abs(GetBValue(pixel) - GetBValue(colour)) <= kShading;
}

// The labels' texts as the player sees them. The label backgrounds repeat the skin, so a shifted
// label is seen only by its text: each label's rectangle holds ink of the text colour and shows
// what the label draws on its own, and no ink of that colour lies outside the rectangles.
inline void ExpectLabelsInked(HWND window, const std::vector<PlacedLabel>& labels,
                              COLORREF colour = kUpdateWindowTextColour)
{
    const WindowPicture picture(window);
    std::vector<int> within(labels.size(), 0);
    int outside = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (!InkOf(colour, picture.At(x, y)))
                continue;
            bool inLabel = false;
            for (size_t i = 0; i < labels.size(); ++i) {
                const RECT& place = labels[i].place;
                if (x >= place.left && x < place.right && y >= place.top && y < place.bottom) {
                    ++within[i];
                    inLabel = true;
                }
            }
            outside += inLabel ? 0 : 1;
        }
    }
    EXPECT_EQ(outside, 0);
    for (size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(labels[i].label.m_strText.str());
        EXPECT_GT(within[i], 0);
        EXPECT_TRUE(ShowsControl(picture, labels[i].place.left, labels[i].place.top, labels[i].label.m_hWnd));
    }
}

// The three labels are inked in place before and after the notification, and the status label is
// repainted with the text it then holds.
template <class UpdateDialog>
void ExpectStatusRepaintedInPlace(UpdateDialog& dialog, WPARAM code, LPARAM record, const std::wstring& status)
{
    const std::vector<PlacedLabel> labels = UpdateWindowLabels(dialog.m_txtTotal, dialog.m_txtFile, dialog.m_txtStatus);
    ExpectLabelsInked(dialog.m_hWnd, labels);
    DrawCounter repaints(dialog.m_txtStatus.m_hWnd);
    dialog.SendMessage(WM_UPDATE_NOTIFY, code, record);
    EXPECT_TRUE(RunLoopUntil([&] { return repaints.Count() > 0; }));
    EXPECT_EQ(dialog.m_txtStatus.m_strText, status.c_str());
    ExpectLabelsInked(dialog.m_hWnd, labels);
}
