#include "update/CLauncherStateScope.h"

#include <cassert>

namespace {

CLauncherState* g_pCurrent = nullptr;

}  // namespace

CLauncherStateScope::CLauncherStateScope(CLauncherState& state) : m_pPrevious(g_pCurrent), m_pState(&state)
{
    g_pCurrent = m_pState;
}

CLauncherStateScope::~CLauncherStateScope()
{
    assert(g_pCurrent == m_pState && "launcher state scopes end in the reverse order of their start");
    g_pCurrent = m_pPrevious;
}

CLauncherState& LauncherState()
{
    assert(g_pCurrent && "no launcher state is in scope");
    return *g_pCurrent;
}
