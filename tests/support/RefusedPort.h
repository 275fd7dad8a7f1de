// A port of 127.0.0.1 where nothing listens: a connection to it is refused. The port stays bound
// (not listening) for the object's life, so no other server can take it meanwhile.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/UniqueDescriptor.h"

class RefusedPort {
public:
    RefusedPort();
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(std::string_view path = "/") const;
    std::wstring WideUrl(std::wstring_view path = L"/") const;

private:
    UniqueDescriptor m_socket;
    int m_port = 0;
};
