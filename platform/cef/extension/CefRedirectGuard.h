// CefRedirectGuard: in a page's web process, where every request and redirect of the page
// passes, cancels a redirect to any address but http or https (file: above all) before WebKit
// follows it: WebKitGTK's web process ends on a sub-frame redirected to a file: address.
#pragma once

typedef struct _WebKitWebExtension WebKitWebExtension;

class CefRedirectGuard {
public:
    // Guards every page the process makes from now on.
    static void Watch(WebKitWebExtension* extension);
};
