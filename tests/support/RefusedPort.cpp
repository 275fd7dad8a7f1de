#include "tests/support/RefusedPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <stdexcept>

RefusedPort::RefusedPort()
{
    m_socket.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!m_socket.IsOpen())
        throw std::runtime_error("refused port: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("refused port: cannot bind");
    m_port = ntohs(address.sin_port);
}

std::string RefusedPort::Url(std::string_view path) const
{
    std::string url = "http://127.0.0.1:" + std::to_string(m_port);
    if (path.empty() || path.front() != '/')
        url += '/';
    url += path;
    return url;
}

std::wstring RefusedPort::WideUrl(std::wstring_view path) const
{
    std::string base = "http://127.0.0.1:" + std::to_string(m_port);
    std::wstring url(base.begin(), base.end());
    if (path.empty() || path.front() != L'/')
        url += L'/';
    url += path;
    return url;
}
