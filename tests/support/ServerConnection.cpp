#include "tests/support/ServerConnection.h"

#include <sys/socket.h>

#include <cerrno>

ServerConnection::ServerConnection(int socket, SSL_CTX* tls) : m_socket(socket)
{
    if (tls) {
        m_tls = SSL_new(tls);
        if (m_tls)
            SSL_set_fd(m_tls, m_socket.Get());
    }
}

ServerConnection::~ServerConnection()
{
    if (m_tls)
        SSL_free(m_tls);
}

bool ServerConnection::Handshake()
{
    return !m_tls || SSL_accept(m_tls) == 1;
}

std::size_t ServerConnection::Read(char* buffer, std::size_t size)
{
    if (m_tls) {
        int n = SSL_read(m_tls, buffer, static_cast<int>(size));
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    for (;;) {
        ssize_t n = ::recv(m_socket.Get(), buffer, size, 0);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            return 0;
    }
}

bool ServerConnection::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (m_tls) {
            int n = SSL_write(m_tls, bytes.data(), static_cast<int>(bytes.size()));
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        ssize_t n = ::send(m_socket.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void ServerConnection::Close()
{
    if (m_tls)
        SSL_shutdown(m_tls);
    ::shutdown(m_socket.Get(), SHUT_WR);
}

void ServerConnection::Reset()
{
    linger immediately{1, 0};
    setsockopt(m_socket.Get(), SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
}

void ServerConnection::Interrupt()
{
    ::shutdown(m_socket.Get(), SHUT_RDWR);
}
