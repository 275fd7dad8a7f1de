// The self-update window: a small skinned window that runs the launcher check on the update
// manager's worker and shows its stage and the new launcher's download. Ends with 101 when the
// launcher is current; in every other outcome it closes (IDCANCEL), after starting a downloaded
// new launcher.
#pragma once

#include "app/CUpdateDlg.h"

class CLauncherUpdateDlg : public CUpdateDlg {
public:
    using CUpdateDlg::CUpdateDlg;

protected:
    // Lays the window out, then starts the worker.
    BOOL OnInitDialog() override;
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam) override;
};
