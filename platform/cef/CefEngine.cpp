#include "platform/cef/CefEngine.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <memory>

#include "platform/cef/CefBuildId.h"
#include "platform/win/FileSystem.h"
#include "platform/win/GObjectPtr.h"
#include "platform/win/Text.h"
#include "platform/win/UserFolders.h"

namespace {

std::unique_ptr<CefEngine> g_engine;

double ParseScaleFactor(const CefString& value)
{
    std::string text = value.ToString();
    char* end = nullptr;
    double scale = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && scale > 0 ? scale : 0;
}

// The framework downloads nothing without a download handler. A download is cancelled as it
// starts, before it has a destination: no file is created, replaced or removed.
void CancelDownload(WebKitWebContext*, WebKitDownload* download, gpointer)
{
    webkit_download_cancel(download);
}

WebKitWebContext* NewWebContext(const CefSettings& settings)
{
    std::string folder = CefEngine::CacheDirectory(settings.cache_path.ToWString());
    if (folder.empty())
        return webkit_web_context_new();
    GObjectPtr<WebKitWebsiteDataManager> data(webkit_website_data_manager_new(
        "base-cache-directory", folder.c_str(), "base-data-directory", folder.c_str(), nullptr));
    std::string cookies = folder + "/cookies.sqlite";
    webkit_cookie_manager_set_persistent_storage(webkit_website_data_manager_get_cookie_manager(data.get()),
                                                 cookies.c_str(), WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    return webkit_web_context_new_with_website_data_manager(data.get());
}

}  // namespace

CefEngine* CefEngine::Get()
{
    return g_engine.get();
}

bool CefEngine::Start(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application)
{
    if (g_engine)
        return false;
    CefRefPtr<CefCommandLine> commandLine = new CefCommandLine(args.argv);
    if (application)
        application->OnBeforeCommandLineProcessing(CefString(), commandLine);

    WebKitWebContext* context = NewWebContext(settings);
    webkit_web_context_set_sandbox_enabled(context, FALSE);
    g_signal_connect(context, "download-started", G_CALLBACK(CancelDownload), nullptr);
    webkit_web_context_set_web_extensions_directory(context, WebExtensionDirectory().c_str());
    webkit_web_context_set_web_extensions_initialization_user_data(context, g_variant_new_string(kCefBuildId));
    std::string locale = settings.locale.ToString();
    if (!locale.empty()) {
        const char* languages[] = {locale.c_str(), nullptr};
        webkit_web_context_set_preferred_languages(context, languages);
    }
    double scale = ParseScaleFactor(commandLine->GetSwitchValue("force-device-scale-factor"));
    g_engine.reset(new CefEngine(context, application, scale));
    return true;
}

void CefEngine::Stop()
{
    g_engine.reset();
}

std::string CefEngine::WebExtensionDirectory()
{
    if (const char* folder = std::getenv("ZORV_WEB_EXTENSION_DIR"); folder && *folder)
        return folder;
    return (std::filesystem::path(ExecutablePath()).parent_path() / "web-extension").string();
}

std::string CefEngine::CacheDirectory(const std::wstring& cachePath)
{
    static const std::wstring kTemporary = L"\\appdata\\local\\temp";
    std::wstring folded = cachePath;
    std::transform(folded.begin(), folded.end(), folded.begin(), [](wchar_t c) { return std::towlower(c); });
    const std::size_t found = folded.find(kTemporary);
    const std::size_t rest = found + kTemporary.size();
    if (found == std::wstring::npos || (rest < folded.size() && folded[rest] != L'\\'))
        return std::string();
    std::string folders = WideToUtf8(cachePath.substr(rest));
    std::replace(folders.begin(), folders.end(), '\\', '/');
    return CacheFolder() + folders;
}

CefEngine::CefEngine(WebKitWebContext* context, CefRefPtr<CefApp> application, double deviceScaleFactor)
    : m_application(std::move(application)), m_deviceScaleFactor(deviceScaleFactor), m_context(context)
{
}
