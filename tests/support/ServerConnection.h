// One accepted connection of a TestServer: the socket, and for HTTPS its TLS session. Owns both.
#pragma once

#include <openssl/ssl.h>

#include <cstddef>
#include <string_view>

#include "platform/win/UniqueDescriptor.h"

class ServerConnection {
public:
    // Takes the socket over; tls null: plain HTTP.
    ServerConnection(int socket, SSL_CTX* tls);
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;
    ~ServerConnection();

    // The TLS handshake; true at once for plain HTTP.
    bool Handshake();
    // Up to size bytes; 0 when the peer closed or the read failed.
    std::size_t Read(char* buffer, std::size_t size);
    bool Write(std::string_view bytes);
    // An orderly end: TLS close_notify, then FIN.
    void Close();
    // The socket is closed with RST when the object goes.
    void Reset();
    // From another thread: makes a blocked Read or Write return.
    void Interrupt();

private:
    UniqueDescriptor m_socket;
    SSL* m_tls = nullptr;
};
