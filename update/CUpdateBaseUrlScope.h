// Points the launcher check at another base address while it lives: a test's own server.
#pragma once

class CUpdateBaseUrlScope {
public:
    // LauncherUpdateBaseUrl() gives `baseUrl`, which must outlive this object, until it ends,
    // then again what it gave before. Scopes end in the reverse order of their start.
    explicit CUpdateBaseUrlScope(const wchar_t* baseUrl);
    ~CUpdateBaseUrlScope();
    CUpdateBaseUrlScope(const CUpdateBaseUrlScope&) = delete;
    CUpdateBaseUrlScope& operator=(const CUpdateBaseUrlScope&) = delete;

private:
    const wchar_t* m_pPrevious;
    const wchar_t* m_pBaseUrl;
};
