// A skinned window of the tests' own, on the update windows' template and skin.
#pragma once

#include "app/CBaseDlg.h"
#include "platform/afx/CDataExchange.h"
#include "platform/afx/CStatic.h"
#include "platform/win/Regions.h"
#include "res/resource.h"

// The steps every skinned window takes: skin 141 on template 145, its size and its region; and
// one label of the template, which paints nothing.
class SkinnedDialog : public CBaseDlg {
public:
    SkinnedDialog() : CBaseDlg(IDD_UPDATE_DIALOG) { m_bmpBackground.LoadBitmap(IDB_UPDATE_BACKGROUND); }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        MoveWindow(0, 0, 461, 210);
        SetWindowRgn(m_hWnd, CreateRegionFromBitmap(m_bmpBackground), TRUE);
        m_label.MoveWindow(145, 164, 170, 16);
        return TRUE;
    }

    HBITMAP Skin() const { return m_bmpBackground; }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TEXT_STATUS, m_label); }

    CStatic m_label;
};
