#include "tests/support/Reply.h"

#include <string>

Reply Reply::Body(std::string body, int status)
{
    Reply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

Reply Reply::Page(std::string html)
{
    return Body(std::move(html)).Header("Content-Type", "text/html; charset=utf-8");
}

Reply Reply::Status(int status)
{
    return Body("", status);
}

Reply Reply::Redirect(std::string location, int status)
{
    return Status(status).Header("Location", std::move(location));
}

Reply Reply::Generated(std::uint64_t length)
{
    Reply reply;
    reply.generated = true;
    reply.generatedLength = length;
    return reply;
}

Reply Reply::Filled(std::uint64_t length, char byte)
{
    Reply reply = Generated(length);
    reply.filled = true;
    reply.fillByte = byte;
    return reply;
}

Reply Reply::Repeated(std::string piece, std::uint64_t length)
{
    Reply reply = Generated(length);
    reply.repeated = true;
    reply.body = std::move(piece);
    return reply;
}

Reply Reply::Reset()
{
    Reply reply;
    reply.kind = Kind::Reset;
    return reply;
}

Reply Reply::Hangup()
{
    Reply reply;
    reply.kind = Kind::Hangup;
    return reply;
}

Reply Reply::Raw(std::string bytes)
{
    Reply reply;
    reply.kind = Kind::Raw;
    reply.body = std::move(bytes);
    return reply;
}

Reply& Reply::Header(std::string name, std::string value)
{
    headers.emplace_back(std::move(name), std::move(value));
    return *this;
}

Reply& Reply::Chunked()
{
    chunked = true;
    return *this;
}

Reply& Reply::CutAfter(std::uint64_t bytes)
{
    cut = true;
    cutAfter = bytes;
    return *this;
}

Reply& Reply::StallBeforeHeaders(std::chrono::milliseconds duration)
{
    stallBeforeHeaders = duration;
    return *this;
}

Reply& Reply::StallAfter(std::uint64_t bytes, std::chrono::milliseconds duration)
{
    stallInBody = true;
    stallAfterBytes = bytes;
    stallInBodyDuration = duration;
    return *this;
}

Reply& Reply::TrickleHeaders(std::chrono::milliseconds interval, int fillerLines)
{
    for (int i = 1; i <= fillerLines; ++i)
        Header("X-Filler-" + std::to_string(i), std::to_string(i));
    headerTrickle = interval;
    return *this;
}

Reply& Reply::TrickleBody(std::chrono::milliseconds interval, std::uint64_t bytesPerStep)
{
    bodyTrickle = interval;
    bodyTrickleBytes = bytesPerStep;
    return *this;
}
