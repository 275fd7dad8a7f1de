// The main window: a borderless skinned window of 1200 x 700 at the top-left corner of the screen
// that hosts the browser on the game's page and carries the close and minimise buttons. Ends with
// 100 from its close button and with 102 when the page starts the game (the browser client ends it).
#pragma once

#include "app/CBaseDlg.h"
#include "app/controls/CImageButton.h"

class CLauncherDlg : public CBaseDlg {
public:
    CLauncherDlg();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    HCURSOR OnQueryDragIcon();
    void OnBnClickedClose();
    void OnBnClickedMinimize();

    // Hides the base's icon of the same name; the base keeps its own for its painting.
    HICON m_hIcon;
    CImageButton m_btnClose;
    CImageButton m_btnMinimize;

    DECLARE_MESSAGE_MAP()
};
