// CefPopupFeatures: the window features a page asked for with a new browser. WebKit gives them
// only to a web view that it was allowed to create, and the layer creates none, so none is known.
#pragma once

struct CefPopupFeatures {};
