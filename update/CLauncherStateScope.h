// Which state LauncherState() reaches: the application object names its own for the process's
// life, a test its own for the test's.
#pragma once

#include "update/CLauncherState.h"

class CLauncherStateScope {
public:
    // LauncherState() reaches `state` while this object lives, then again the one it reached
    // before. Scopes end in the reverse order of their start.
    explicit CLauncherStateScope(CLauncherState& state);
    ~CLauncherStateScope();
    CLauncherStateScope(const CLauncherStateScope&) = delete;
    CLauncherStateScope& operator=(const CLauncherStateScope&) = delete;

private:
    CLauncherState* m_pPrevious;
    CLauncherState* m_pState;
};
