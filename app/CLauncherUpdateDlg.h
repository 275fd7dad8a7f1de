// The self-update window: a small skinned window that runs the launcher check on the update
// manager's worker and shows its stage and the new launcher's download. Ends with 101 when the
// launcher is current; in every other outcome it closes (IDCANCEL), after starting a downloaded
// new launcher.
#pragma once

#include "app/CUpdateDlg.h"

class CLauncherUpdateDlg : public CUpdateDlg {
public:
    explicit CLauncherUpdateDlg(CUpdateManager* pManager);

protected:
    // Lays the window out, then starts the worker.
    BOOL OnInitDialog() override;
    // WM_UPDATE_NOTIFY: wParam the code, lParam its record, which the window frees.
    LRESULT OnUpdateMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
