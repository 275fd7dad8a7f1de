#include "update/CUpdateBaseUrlScope.h"

#include <cassert>

#include "update/UpdateAddresses.h"

namespace {

// Null: the compiled-in address.
const wchar_t* g_pBaseUrl = nullptr;

}  // namespace

CUpdateBaseUrlScope::CUpdateBaseUrlScope(const wchar_t* baseUrl) : m_pPrevious(g_pBaseUrl), m_pBaseUrl(baseUrl)
{
    g_pBaseUrl = m_pBaseUrl;
}

CUpdateBaseUrlScope::~CUpdateBaseUrlScope()
{
    assert(g_pBaseUrl == m_pBaseUrl && "base address scopes end in the reverse order of their start");
    g_pBaseUrl = m_pPrevious;
}

const wchar_t* LauncherUpdateBaseUrl()
{
    return g_pBaseUrl ? g_pBaseUrl : kLauncherUpdateBaseUrl;
}
