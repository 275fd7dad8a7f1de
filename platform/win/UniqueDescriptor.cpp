#include "platform/win/UniqueDescriptor.h"

#include <unistd.h>

UniqueDescriptor& UniqueDescriptor::operator=(UniqueDescriptor&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

UniqueDescriptor::~UniqueDescriptor()
{
    Reset();
}

void UniqueDescriptor::Reset(int descriptor)
{
    // Linux frees the descriptor even when close fails (EINTR included): never close it twice.
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = descriptor;
}

int UniqueDescriptor::Release()
{
    int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
}
