#include "app/CBaseDlg.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "platform/afx/AfxResources.h"
#include "platform/afx/CPaintDC.h"
#include "platform/win/GdiObjectPtr.h"
#include "platform/win/Icons.h"
#include "platform/win/ResourceNames.h"
#include "res/resource.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"Zorv大战登陆器";

constexpr BYTE kKeyBlue = 0xE0;
constexpr BYTE kKeyGreen = 0xCF;
constexpr BYTE kKeyRed = 0xE4;

// The platform makes a region of at most this many rectangles at a time.
constexpr DWORD kBatchRectangles = 2000;
constexpr DWORD kGrowthRectangles = 100;

// A pixel of a 32-bit DIB: blue, green, red; the fourth byte is never looked at.
bool IsKeyPixel(const BYTE* pixel)
{
    return pixel[0] == kKeyBlue && pixel[1] == kKeyGreen && pixel[2] == kKeyRed;
}

using OwnedRegion = GdiObjectPtr<HRGN__>;

// The rectangles of one batch as region data: the header, then room for the capacity.
class RectangleBatch {
public:
    RectangleBatch() { Grow(); Reset(); }

    DWORD Count() const { return Header().nCount; }

    void Add(const RECT& rect)
    {
        if (Header().nCount == m_capacity)
            Grow();
        RGNDATAHEADER& header = Header();
        Rectangles()[header.nCount] = rect;
        header.rcBound.left = std::min(header.rcBound.left, rect.left);
        header.rcBound.top = std::min(header.rcBound.top, rect.top);
        header.rcBound.right = std::max(header.rcBound.right, rect.right);
        header.rcBound.bottom = std::max(header.rcBound.bottom, rect.bottom);
        ++header.nCount;
    }

    // The batch as a region, null when the platform cannot make it; the capacity stays.
    OwnedRegion TakeRegion()
    {
        OwnedRegion region(ExtCreateRegion(nullptr, static_cast<DWORD>(m_data.size()),
                                           reinterpret_cast<const RGNDATA*>(m_data.data())));
        Reset();
        return region;
    }

private:
    void Grow()
    {
        m_capacity += kGrowthRectangles;
        m_data.resize(sizeof(RGNDATAHEADER) + sizeof(RECT) * m_capacity);
    }

    void Reset()
    {
        RGNDATAHEADER& header = Header();
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = 0;
        header.nRgnSize = 0;
        header.rcBound = {0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    }

    RGNDATAHEADER& Header() { return *reinterpret_cast<RGNDATAHEADER*>(m_data.data()); }
    const RGNDATAHEADER& Header() const { return *reinterpret_cast<const RGNDATAHEADER*>(m_data.data()); }
    RECT* Rectangles() { return reinterpret_cast<RECT*>(m_data.data() + sizeof(RGNDATAHEADER)); }

    std::vector<BYTE> m_data;
    DWORD m_capacity = 0;
};

// The batch's region becomes the result or is added to it.
void AddBatch(RectangleBatch& batch, OwnedRegion& result)
{
    OwnedRegion region = batch.TakeRegion();
    if (!region)
        return;
    if (!result)
        result = std::move(region);
    else
        CombineRgn(result.get(), result.get(), region.get(), RGN_OR);
}

}  // namespace

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
    ON_WM_QUERYDRAGICON()
    ON_WM_PAINT()
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CBaseDlg::CBaseDlg(UINT nIDTemplate)
    : CDialog(nIDTemplate), m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_LAUNCHER)))
{
}

BOOL CBaseDlg::OnInitDialog()
{
    return TRUE;
}

void CBaseDlg::SetUpSkinnedWindow(HICON icon, int width, int height)
{
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    MoveWindow(0, 0, width, height, TRUE);
    SetWindowText(kWindowTitle);
    if (HRGN region = CreateRegionFromBitmap(m_bmpBackground); region && !SetWindowRgn(m_hWnd, region, TRUE))
        DeleteObject(region);
}

HCURSOR CBaseDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CBaseDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    BITMAP bitmap;
    m_bmpBackground.GetObject(sizeof(BITMAP), &bitmap);
    CBitmap* previous = memDC.SelectObject(&m_bmpBackground);
    dc.SetStretchBltMode(HALFTONE);
    dc.StretchBlt(0, 0, rect.Width(), rect.Height(), &memDC, 0, 0, bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
    memDC.SelectObject(previous);
    memDC.DeleteDC();
}

LRESULT CBaseDlg::OnNcHitTest(CPoint point)
{
    CRect rect;
    GetClientRect(&rect);
    ClientToScreen(&rect);
    if (rect.PtInRect(point))
        return HTCAPTION;
    return CDialog::OnNcHitTest(point);
}

HRGN CBaseDlg::CreateRegionFromBitmap(HBITMAP hBitmap)
{
    if (!hBitmap)
        return nullptr;
    CDC dibDC;
    if (!dibDC.CreateCompatibleDC(nullptr))
        return nullptr;
    BITMAP source;
    if (!GetObjectW(hBitmap, sizeof(BITMAP), &source))
        return nullptr;
    const int width = source.bmWidth;
    const int height = source.bmHeight;

    const BITMAPINFO info = DibSectionInfo(width, height, RowOrder::BottomUp);
    void* bits = nullptr;
    CBitmap dib;
    if (!dib.Attach(CreateDIBSection(dibDC.GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)))
        return nullptr;
    CBitmap* previousDib = dibDC.SelectObject(&dib);

    CDC sourceDC;
    if (!sourceDC.CreateCompatibleDC(&dibDC)) {
        dibDC.SelectObject(previousDib);
        return nullptr;
    }
    BITMAP section;
    dib.GetObject(sizeof(BITMAP), &section);
    const LONG pitch = (section.bmWidthBytes + 3) & ~3;
    HBITMAP previousSource = sourceDC.SelectObject(hBitmap);
    dibDC.BitBlt(0, 0, width, height, &sourceDC, 0, 0, SRCCOPY);

    OwnedRegion result;
    try {
        RectangleBatch batch;
        const BYTE* pixels = static_cast<const BYTE*>(bits);
        for (int y = 0; y < height; ++y) {
            // The last row in memory is the picture's top row.
            const BYTE* row = pixels + static_cast<std::ptrdiff_t>(height - 1 - y) * pitch;
            for (int x = 0; x < width; ++x) {
                const int runStart = x;
                while (x < width && !IsKeyPixel(row + x * 4))
                    ++x;
                if (x > runStart) {
                    batch.Add({runStart, y, x, y + 1});
                    if (batch.Count() == kBatchRectangles)
                        AddBatch(batch, result);
                }
            }
        }
        AddBatch(batch, result);
    } catch (const std::bad_alloc&) {
        // Without memory for the rectangle list the window keeps its rectangular shape.
        result.reset();
    }

    sourceDC.SelectObject(previousSource);
    dibDC.SelectObject(previousDib);
    return result.release();
}
