// The client update window: the self-update window's layout, running the client update on the
// update manager's worker. The upper bar and label show the share of all pending bytes, the
// lower ones the current file's. Ends with 103 when every listed file is in place; closes
// (IDCANCEL) when the update fails.
#pragma once

#include "app/CUpdateDlg.h"

class CExecutableUpdateDlg : public CUpdateDlg {
public:
    explicit CExecutableUpdateDlg(CUpdateManager* pManager);

protected:
    // Starts the worker with progress reports off, then lays the controls out.
    BOOL OnInitDialog() override;
    // WM_UPDATE_NOTIFY: wParam the code, lParam its record, which the window frees.
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
