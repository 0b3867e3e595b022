// The HTTP reply reader on arbitrary bytes, as they come in pieces: it must never crash, a
// closed connection never leaves a reply incomplete, a complete body lies inside the bytes,
// and more bytes never turn a malformed start into a good reply.
#include "platform/net/HttpGet.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    using S = platform::HttpReply::State;
    bool malformedBefore = false;
    // Every prefix at a few cut points, as the socket would deliver them.
    for (qsizetype cut : {qsizetype(0), bytes.size() / 3, bytes.size() / 2, bytes.size()}) {
        const QByteArray part = bytes.left(cut);
        const platform::HttpReply open = platform::parseHttpReply(part, false);
        if (open.state == S::Malformed)
            malformedBefore = true;
        else if (malformedBefore && open.state == S::Complete)
            std::abort();
        const platform::HttpReply closed = platform::parseHttpReply(part, true);
        if (closed.state == S::Incomplete)
            std::abort();
        for (const platform::HttpReply* r : {&open, &closed}) {
            if (r->state == S::Complete && (r->body.size() > part.size() || r->status < 0 || r->status > 999))
                std::abort();
            if (r->state == S::Malformed && r->error.isEmpty())
                std::abort();
        }
        if (open.state == S::Complete && (closed.state != S::Complete || closed.body != open.body)) {
            // A reply with its announced length is the same whether or not the server closed.
            bool hasLength = false;
            for (const auto& h : open.headers)
                hasLength = hasLength || h.first.toLower() == "content-length";
            if (hasLength)
                std::abort();
        }
    }
    return 0;
}
