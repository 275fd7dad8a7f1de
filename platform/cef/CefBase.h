// CefBase: the reference count every engine object and handler interface shares. Handler
// interfaces derive from it virtually, so an object implementing several has one count.
#pragma once

class CefBase {
public:
    virtual void AddRef() const = 0;
    // True when this release deleted the object.
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

protected:
    virtual ~CefBase() = default;
};
