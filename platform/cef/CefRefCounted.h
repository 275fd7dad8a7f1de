// The reference count of engine objects and handlers: locked increments and decrements, the
// object deleted by the release that takes the count to zero. A class that implements several
// handler interfaces names them all; they share CefBase virtually, so it has one count.
#pragma once

#include <atomic>
#include <cstdint>

template <class... Interfaces>
class CefRefCounted : public Interfaces... {
public:
    void AddRef() const override { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    bool Release() const override
    {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) != 1)
            return false;
        delete this;
        return true;
    }
    bool HasOneRef() const override { return m_refCount.load(std::memory_order_acquire) == 1; }

private:
    mutable std::atomic<std::int32_t> m_refCount{0};
};
