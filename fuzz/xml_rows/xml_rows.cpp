// The table files' streaming row reader on arbitrary bytes: it must end in Done or Error, never
// crash, report only balanced element starts and ends, and agree with the DOM on every document
// (the same comparison the reader's tests make).
#include "platform/xml/XmlRowReader.h"
#include "support/XmlAgreement.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    platform::XmlRowReader r(bytes);
    std::vector<std::string> open;
    for (;;) {
        const auto ev = r.next();
        if (ev == platform::XmlRowReader::Event::Error || ev == platform::XmlRowReader::Event::Done) {
            if (ev == platform::XmlRowReader::Event::Done && !open.empty())
                std::abort();
            if (r.next() != ev)
                std::abort();
            break;
        }
        if (ev == platform::XmlRowReader::Event::StartElement) {
            // A declaration left open by '>' counts as a scope, as in the DOM, so the depth
            // may exceed the elements open; it can never be less.
            if (r.depth() < static_cast<int>(open.size()))
                std::abort();
            open.emplace_back(r.name());
        } else {
            if (open.empty() || open.back() != r.name())
                std::abort();
            open.pop_back();
        }
    }
    const std::string difference = xml_agreement::disagreement(bytes);
    if (!difference.empty()) {
        std::fprintf(stderr, "row reader and DOM disagree: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
