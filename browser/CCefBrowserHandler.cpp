#include "browser/CCefBrowserHandler.h"

#include <glib.h>

#include <string>

#include "platform/cef/CefApp.h"
#include "browser/LauncherMessages.h"
#include "platform/win/FindWindow.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Shell.h"
#include "platform/win/WebScheme.h"
#include "update/CLauncherState.h"

namespace {

constexpr const wchar_t* kGameWindowTitle = L"Zorv Battle";
constexpr const wchar_t* kGameRunningText = L"您已经打开了一个游戏程序，游戏不支持多开!";
constexpr const wchar_t* kGameRunningTitle = L"警告";

// &, <, >, " and ' as entities ("&apos;", which HTML5 reads), control characters as references.
std::string EscapeHtml(const std::string& text)
{
    gchar* escaped = g_markup_escape_text(text.c_str(), static_cast<gssize>(text.size()));
    std::string page(escaped);
    g_free(escaped);
    return page;
}

// Only an absolute http or https address, without blanks or control characters, leaves the
// launcher or replaces the game's page: anything else a page passes could name a local program
// or file for the shell, or a local page that would get the launcher's interface.
bool IsAbsoluteWebAddress(const CefString& address)
{
    for (wchar_t c : address.ToWString()) {
        if (c <= L' ' || c == 0x7F)
            return false;
    }
    const std::string text = address.ToString();
    if (WebSchemeOf(text) == WebScheme::None)
        return false;
    GUri* uri = g_uri_parse(text.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri)
        return false;
    const char* host = g_uri_get_host(uri);
    bool web = host && *host;
    g_uri_unref(uri);
    return web;
}

}  // namespace

CefRefPtr<CefDisplayHandler> CCefBrowserHandler::GetDisplayHandler()
{
    return this;
}

CefRefPtr<CefLifeSpanHandler> CCefBrowserHandler::GetLifeSpanHandler()
{
    return this;
}

CefRefPtr<CefLoadHandler> CCefBrowserHandler::GetLoadHandler()
{
    return this;
}

bool CCefBrowserHandler::OnProcessMessageReceived(CefRefPtr<CefBrowser>, CefProcessId,
                                                  CefRefPtr<CefProcessMessage> message)
{
    std::string name = message->GetName().ToString();
    if (name == kStartGameMessage) {
        StartGame(message->GetArgumentList()->GetString(0));
        return true;
    }
    if (name == kOpenWebMessage) {
        OpenWeb(message->GetArgumentList()->GetString(0));
        return true;
    }
    return false;
}

void CCefBrowserHandler::StartGame(const CefString& parameter)
{
    // Once the main window's run has ended, start-up may be using the parameter already.
    CLauncherState& state = LauncherState();
    CDialog* dialog = state.m_pLauncherDlg;
    if (dialog && !dialog->IsModalRunning())
        return;
    if (FindWindowW(nullptr, kGameWindowTitle)) {
        MessageBoxW(nullptr, kGameRunningText, kGameRunningTitle, MB_ICONINFORMATION);
        return;
    }
    // The parameter is in place before the main window ends, and start-up reads it only after.
    state.m_strStartParam = parameter.c_str();
    if (dialog)
        dialog->EndDialog(IDR_START_GAME);
}

void CCefBrowserHandler::OpenWeb(const CefString& address)
{
    if (IsAbsoluteWebAddress(address) && m_openWebLimit.Admit(address.ToWString(), std::chrono::steady_clock::now()))
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool CCefBrowserHandler::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>, const CefString& targetUrl,
                                       const CefString&, cef_window_open_disposition_t targetDisposition, bool,
                                       const CefPopupFeatures&, CefWindowInfo&, CefRefPtr<CefClient>&,
                                       CefBrowserSettings&, bool*)
{
    bool newBrowser = targetDisposition == WOD_NEW_FOREGROUND_TAB || targetDisposition == WOD_NEW_BACKGROUND_TAB ||
                      targetDisposition == WOD_NEW_POPUP || targetDisposition == WOD_NEW_WINDOW;
    if (newBrowser && IsAbsoluteWebAddress(targetUrl)) {
        if (CefRefPtr<CefFrame> mainFrame = browser->GetMainFrame())
            mainFrame->LoadURL(targetUrl);
    }
    return true;
}

void CCefBrowserHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser)
{
    m_browserList.push_back(browser);
}

bool CCefBrowserHandler::DoClose(CefRefPtr<CefBrowser>)
{
    return false;
}

void CCefBrowserHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser)
{
    for (auto entry = m_browserList.begin(); entry != m_browserList.end(); ++entry) {
        if ((*entry)->IsSame(browser)) {
            m_browserList.erase(entry);
            break;
        }
    }
    if (m_browserList.empty())
        CefQuitMessageLoop();
}

void CCefBrowserHandler::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                                     const CefString& errorText, const CefString& failedUrl)
{
    if (errorCode == ERR_ABORTED)
        return;
    std::string page = "<html><body bgcolor=\"white\"><h2>Failed to load URL ";
    page += EscapeHtml(failedUrl.ToString());
    page += " with error ";
    page += EscapeHtml(errorText.ToString());
    page += " (";
    page += std::to_string(errorCode);
    page += ").</h2></body></html>";
    frame->LoadString(page, failedUrl);
}
