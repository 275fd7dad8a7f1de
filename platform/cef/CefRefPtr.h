// CefRefPtr: a counted reference to a CefBase object; copying adds a reference, destruction
// releases one.
#pragma once

#include <cstddef>
#include <utility>

template <class T>
class CefRefPtr {
public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) {}
    CefRefPtr(T* object) : m_object(object) { AddRefObject(); }
    CefRefPtr(const CefRefPtr& other) : m_object(other.m_object) { AddRefObject(); }
    CefRefPtr(CefRefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& other) : m_object(other.get()) { AddRefObject(); }
    ~CefRefPtr() { ReleaseObject(); }

    CefRefPtr& operator=(CefRefPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    friend bool operator==(const CefRefPtr& left, const CefRefPtr& right) { return left.m_object == right.m_object; }
    friend bool operator==(const CefRefPtr& left, std::nullptr_t) { return left.m_object == nullptr; }

private:
    void AddRefObject()
    {
        if (m_object)
            m_object->AddRef();
    }
    void ReleaseObject()
    {
        if (m_object)
            m_object->Release();
    }

    T* m_object = nullptr;
};
