// The client update window: the self-update window's layout, running the client update on the
// update manager's worker. The upper bar and label show the share of all pending bytes, the
// lower ones the current file's. Ends with 103 when every listed file is in place; closes
// (IDCANCEL) when the update fails.
#pragma once

#include "app/CUpdateDlg.h"

class CExecutableUpdateDlg : public CUpdateDlg {
public:
    using CUpdateDlg::CUpdateDlg;

protected:
    // Starts the worker with progress reports off, then lays the controls out.
    BOOL OnInitDialog() override;
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam) override;
};
