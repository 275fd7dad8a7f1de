#include "update/CLauncherState.h"

#include <cassert>

namespace {

CLauncherState* g_pNewest = nullptr;

}  // namespace

CLauncherState::CLauncherState() : m_pPrevious(g_pNewest)
{
    g_pNewest = this;
}

CLauncherState::~CLauncherState()
{
    assert(g_pNewest == this && "launcher states end in the reverse order of their start");
    g_pNewest = m_pPrevious;
}

CLauncherState& LauncherState()
{
    assert(g_pNewest && "no launcher state exists");
    return *g_pNewest;
}
