// The table files' streaming row reader on arbitrary bytes: it must end in Done or Error, never
// crash, and report only balanced element starts and ends.
#include "platform/xml/XmlRowReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::XmlRowReader r(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    std::vector<std::string> open;
    for (;;) {
        const auto ev = r.next();
        if (ev == platform::XmlRowReader::Event::Error || ev == platform::XmlRowReader::Event::Done) {
            if (ev == platform::XmlRowReader::Event::Done && !open.empty())
                std::abort();
            if (r.next() != ev)
                std::abort();
            return 0;
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
}
